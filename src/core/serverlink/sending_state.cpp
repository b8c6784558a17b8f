#include "serverlink/sending_state.h"

#include "records/text_utils.h"

namespace velmora {

namespace {

std::string Answered(const TRefusal& refusal) {
  const std::string answer(Trimmed(refusal.Answer));
  return "HTTP " + std::to_string(refusal.Status) + (answer.empty() ? "" : ": " + answer);
}

}  // namespace

bool PermanentRefusal(long status) { return status == 400 || status == 403 || status == 404 || status == 413; }

std::string RefusalReason(const TRefusal& refusal) {
  std::string what;
  switch (refusal.Status) {
    case 400: what = "el servidor rechazó la acción"; break;
    case 403: what = "el servidor rechazó la sesión"; break;
    case 404: what = "el servidor no tiene el partido"; break;
    case 413: what = "el servidor rechazó la acción por su tamaño"; break;
    default: what = "el servidor rechazó el envío"; break;
  }
  return what + " (" + Answered(refusal) + ")";
}

std::string SendingNotice(const TSendingState& state, std::size_t acknowledged) {
  std::string notice;
  if (state.Held) {
    notice = "No se pueden enviar las acciones: " + RefusalReason(*state.Held) + ". ";
    if (state.Held->Status == 404) notice += "Compruebe que el partido sigue publicado para su usuario. ";
    notice +=
        "Se guardan en el partido local y se enviarán todas en cuanto inicie de nuevo la sesión con "
        "\"Conectar\".";
  }
  if (state.Refused.size() > acknowledged) {
    const std::size_t count = state.Refused.size() - acknowledged;
    const TRefusedAction& last = state.Refused.back();
    if (!notice.empty()) notice += "\n";
    if (count == 1) {
      notice += "El servidor rechazó la acción \"" + last.Text + "\" (" + Answered(last.Refusal) +
                "). Queda en el partido local, marcada como no enviada.";
    } else {
      notice += "El servidor rechazó " + std::to_string(count) +
                " acciones, que quedan en el partido local marcadas como no enviadas; la última, \"" + last.Text +
                "\" (" + Answered(last.Refusal) + ").";
    }
  }
  return notice;
}

}  // namespace velmora
