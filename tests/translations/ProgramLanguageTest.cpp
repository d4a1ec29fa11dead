#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

// The programs as a user starts them, in the build and installed: each reads --lang, TAVRIN_LANG
// and the locale, and an installed copy finds its translation in the data folder.
namespace {
struct Case {
    const char *name;
    QString program;
    QStringList args;
    QStringList environment;
    int status;
    QString expected; // the start of what the program writes
};

TEST(ProgramLanguageTest, ProgramsSpeakTheChosenLanguage)
{
    // Staged in a folder of its own, as a package is: nothing reaches the system's /etc.
    QTemporaryDir stage;
    QProcess install;
    install.setEnvironment(QProcess::systemEnvironment() << QStringLiteral("DESTDIR=") + stage.path());
    install.start(QStringLiteral(TAVRIN_CMAKE), {QStringLiteral("--install"), QStringLiteral(TAVRIN_BUILD_DIR)});
    ASSERT_TRUE(install.waitForFinished(60000) && install.exitCode() == 0) << install.readAllStandardError().toStdString();

    const QString settings = QStringLiteral(TAVRIN_SETTINGS_TOOL);
    const QString help = QStringLiteral("--help");
    const QString window = QStringLiteral(TAVRIN_WINDOW);
    const QString demo = QStringLiteral(TAVRIN_DEMO);
    const Case cases[] = {
        {"no locale", settings, {help}, {}, 0, QStringLiteral("用法：tavrin-settings")},
        {"German locale", settings, {help}, {QStringLiteral("LANG=de_DE.UTF-8")}, 0, QStringLiteral("Usage: tavrin-settings")},
        {"variable over locale", settings, {QStringLiteral("list")},
         {QStringLiteral("TAVRIN_LANG=zh"), QStringLiteral("LC_ALL=en_US.UTF-8")}, 2, QStringLiteral("tavrin-settings: 用法错误")},
        {"the window's program checks --lang", demo, {QStringLiteral("--lang=xx")},
         {QStringLiteral("LANG=en_GB.UTF-8"), QStringLiteral("QT_QPA_PLATFORM=offscreen")}, 2,
         QStringLiteral("tavrin-demo: --lang takes en or zh")},
        {"installed copy", stage.path() + QStringLiteral(TAVRIN_INSTALL_PREFIX "/" TAVRIN_INSTALL_APPDIR "/tavrin-settings"),
         {QStringLiteral("--lang"), QStringLiteral("en"), help}, {}, 0, QStringLiteral("Usage: tavrin-settings")},
        // The window's programs answer --help and a wrong --lang on the terminal, without a display.
        {"the window's help", window, {help}, {}, 0, QStringLiteral("用法：tavrin [--lang en|zh]")},
        {"the demo's help in English", demo, {QStringLiteral("--lang=en"), help}, {}, 0, QStringLiteral("Usage: tavrin-demo")},
        {"the window refuses --lang fr", window, {QStringLiteral("--lang"), QStringLiteral("fr")},
         {QStringLiteral("LANG=en_GB.UTF-8")}, 2, QStringLiteral("tavrin: --lang takes en or zh")},
        {"tavrin-cli refuses --lang fr", QStringLiteral(TAVRIN_CLI), {QStringLiteral("--lang=fr"), QStringLiteral("list")},
         {QStringLiteral("LANG=en_GB.UTF-8")}, 2, QStringLiteral("tavrin-cli: --lang takes en or zh")},
        {"tavrin-settings refuses --lang fr", settings, {QStringLiteral("--lang"), QStringLiteral("fr"), QStringLiteral("show")},
         {}, 2, QStringLiteral("tavrin-settings: --lang 只接受 en 或 zh")},
    };
    for (const Case &c : cases) {
        QProcess process;
        process.setEnvironment(QStringList{QStringLiteral("PATH=") + qEnvironmentVariable("PATH")} + c.environment);
        process.start(c.program, c.args);
        ASSERT_TRUE(process.waitForFinished(60000)) << c.name;
        const QString written = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), c.status) << c.name;
        EXPECT_TRUE(written.contains(c.expected)) << c.name << ":\n" << written.toStdString();
    }
}
} // namespace
