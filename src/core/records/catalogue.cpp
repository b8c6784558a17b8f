#include "records/catalogue.h"

#include <pugixml.hpp>

#include "records/guid.h"

namespace velmora {

const std::string_view kCatalogueXml = R"XML(<ACTIONS>
  <ACTION Name="Tiro" ShortName="shot">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player"/>
    <PARAMETER Name="Coordinates" Type="coordinates"/>
    <PARAMETER Name="Made" Type="choice"><VALUE>Made</VALUE><VALUE>Missed</VALUE><VALUE>Blocked</VALUE></PARAMETER>
    <PARAMETER Name="Shot type" Type="choice"><VALUE>Jump shot</VALUE><VALUE>Lay-up</VALUE><VALUE>Dunk</VALUE><VALUE>Tap-in</VALUE><VALUE>Alley-oop</VALUE></PARAMETER>
    <PARAMETER Name="Points" Type="number" Default="2"/>
    <PARAMETER Name="CounterAttack" Type="choice"><VALUE>True</VALUE><VALUE>False</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Rebote" ShortName="reb">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player" Default="0"/>
    <PARAMETER Name="Type" Type="choice"><VALUE>Offensive</VALUE><VALUE>Defensive</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Tiro Libre" ShortName="fthrow" Default="0">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player"/>
    <PARAMETER Name="Throws Left" Type="choice"><VALUE>1</VALUE><VALUE>2</VALUE><VALUE>3</VALUE></PARAMETER>
    <PARAMETER Name="Throw Number" Type="number" Default="1"/>
    <PARAMETER Name="Made" Type="choice"><VALUE>Made</VALUE><VALUE>Missed</VALUE></PARAMETER>
    <PARAMETER Name="CounterAttack" Type="choice"><VALUE>True</VALUE><VALUE>False</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Falta" ShortName="foul">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player" Default="0"/>
    <PARAMETER Name="Type" Type="choice"><VALUE>Personal</VALUE><VALUE>Technical</VALUE><VALUE>Unsportsmanlike</VALUE><VALUE>Disqualifying</VALUE></PARAMETER>
    <PARAMETER Name="Fouled on" Type="player" Default="0"/>
    <PARAMETER Name="Type of personal" Type="choice"><VALUE>Non-shooting</VALUE><VALUE>Shooting</VALUE><VALUE>Offensive</VALUE></PARAMETER>
    <PARAMETER Name="Shots to make" Type="choice" Default="0"><VALUE>0</VALUE><VALUE>1</VALUE><VALUE>2</VALUE><VALUE>3</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Perdida de balón" ShortName="turnover">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player" Default="0"/>
    <PARAMETER Name="Type" Type="choice"><VALUE>Out of bounds</VALUE><VALUE>Travelling</VALUE><VALUE>Bad Pass</VALUE><VALUE>Ball Handling</VALUE><VALUE>3 secs</VALUE><VALUE>5 secs</VALUE><VALUE>8 secs</VALUE><VALUE>24 secs</VALUE><VALUE>Backcourt violation</VALUE><VALUE>Offensive foul</VALUE><VALUE>Other</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Recuperación" ShortName="steal">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player" Default="0"/>
  </ACTION>
  <ACTION Name="Asistencia" ShortName="assist">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player" Default="0"/>
  </ACTION>
  <ACTION Name="Tapón" ShortName="block">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player" Type="player" Default="0"/>
  </ACTION>
  <ACTION Name="Sustitución" ShortName="subst">
    <PARAMETER Name="Team" Type="team"/>
    <PARAMETER Name="Player Out" Type="player" Default=""/>
    <PARAMETER Name="Player In" Type="player" Default=""/>
  </ACTION>
  <ACTION Name="Tiempo muerto" ShortName="timeout">
    <PARAMETER Name="Team" Type="choice"><VALUE>Commercial</VALUE><VALUE>First Team</VALUE><VALUE>Second Team</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Cuarto" ShortName="quarter">
    <PARAMETER Name="Quarter" Type="number" Default="1"/>
    <PARAMETER Name="Type" Type="choice" Default="Start"><VALUE>Start</VALUE><VALUE>End</VALUE><VALUE>End Game</VALUE><VALUE>Start Game</VALUE></PARAMETER>
  </ACTION>
  <ACTION Name="Comentarios" ShortName="comment">
    <PARAMETER Name="Team1Score" Type="number" Default="0"/>
    <PARAMETER Name="Team2Score" Type="number" Default="0"/>
    <PARAMETER Name="Comment" Type="text"/>
  </ACTION>
  <ACTION Name="Delete" ShortName="delete" System="1">
    <PARAMETER Name="Event" Type="number"/>
  </ACTION>
  <ACTION Name="Reloj" ShortName="clock"/>
  <ACTION Name="End Of Follow-ups" ShortName="complete" System="1">
    <PARAMETER Name="Event" Type="number"/>
  </ACTION>
</ACTIONS>
)XML";

void TCatalogue::LoadCatalogue() {
  Entries_.clear();
  pugi::xml_document document;
  if (!document.load_buffer(kCatalogueXml.data(), kCatalogueXml.size())) return;
  for (const pugi::xml_node& element : document.document_element().children()) {
    if (element.type() != pugi::node_element) continue;
    if (static_cast<int>(Entries_.size()) == kMaxEntries) break;
    Entries_.push_back(TAction::CreateFromXml(element, 0));
  }
}

bool TCatalogue::HasAction(std::string_view shortName) const { return ActionIndex(shortName) > 0; }

int TCatalogue::ActionIndex(std::string_view shortName) const {
  int found = 0;
  for (std::size_t i = 0; i < Entries_.size(); ++i) {
    if (Entries_[i]->ShortName == shortName) found = static_cast<int>(i) + 1;
  }
  return found;
}

const TAction* TCatalogue::Entry(std::string_view shortName) const {
  const int index = ActionIndex(shortName);
  return index == 0 ? nullptr : Entries_[static_cast<std::size_t>(index - 1)].get();
}

std::unique_ptr<TAction> TCatalogue::NewAction(std::string_view shortName, TDateTime gameTime, int period,
                                               TDateTime astroTime) const {
  const TAction* entry = Entry(shortName);
  if (!entry) return nullptr;
  auto action = entry->Clone();
  action->ID = NewGuid();
  action->GameTime = gameTime;
  action->Period = period;
  action->AstroTime = astroTime;
  return action;
}

}  // namespace velmora
