// The program itself, started as an operator starts it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include "temp_folder.h"

namespace velmora::gui {
namespace {

TEST(ProgramStart, AGameThatIsNotStoredIsRefusedWithAMessageAndStatusOne) {
  velmora::testing::TTempFolder folder;
  QProcess program;
  program.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora"));
  program.setArguments({QStringLiteral("--data-dir"), QString::fromStdString(folder.Path().string()),
                        QStringLiteral("--game"), QStringLiteral("NO-SUCH-GAME")});
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  program.setProcessEnvironment(environment);
  program.start();
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  const QString error = QString::fromUtf8(program.readAllStandardError());
  EXPECT_TRUE(error.contains(QStringLiteral("No existe el partido \"NO-SUCH-GAME\""))) << error.toStdString();

  program.setArguments({QStringLiteral("--gmae"), QStringLiteral("X")});
  program.start();
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 2) << "a mistyped option gets the usage";
  EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError()).contains(QStringLiteral("usage: velmora")));

  program.setArguments({QStringLiteral("game.log"), QStringLiteral("--game"), QStringLiteral("X")});
  program.start();
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 2) << "a file to import and a game to open are one too many";
}

TEST(ProgramStart, HelpAndVersionNeedNoScreen) {
  QProcess program;
  program.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora"));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  program.setProcessEnvironment(environment);
  for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
    program.setArguments({QStringLiteral("--data-dir"), QStringLiteral("/nonexistent"), option});
    program.start();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << option.toStdString();
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    EXPECT_TRUE(out.startsWith(option == QStringLiteral("--help") ? QStringLiteral("usage: velmora")
                                                                  : QStringLiteral("velmora ")))
        << out.toStdString();
  }
}

}  // namespace
}  // namespace velmora::gui
