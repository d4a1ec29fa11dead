#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <map>

// The programs as a user starts them: the language comes from --lang, TAVRIN_LANG or the locale,
// and an installed copy finds its translation in the data folder.
namespace {
struct CRun {
    int status = -1;
    QString out;
    QString err;
};

CRun Start(const QString &program, const QStringList &args, const std::map<QString, QString> &variables)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto &[name, value] : variables)
        environment.insert(name, value);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    CRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

struct Case {
    const char *name;
    QString program;
    QStringList args;
    std::map<QString, QString> environment;
    int status;
    QString expected; // the start of standard output, or where that is empty, a part of standard error
};

void Check(const Case &c)
{
    const CRun run = Start(c.program, c.args, c.environment);
    EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err.toStdString();
    const bool found = run.out.isEmpty() ? run.err.contains(c.expected) : run.out.startsWith(c.expected);
    EXPECT_TRUE(found) << c.name << ":\n" << run.out.toStdString() << run.err.toStdString();
}

const QString kSettings = QStringLiteral(TAVRIN_SETTINGS_TOOL);
const QString kDemo = QStringLiteral(TAVRIN_DEMO);
const QString kChineseHelp = QStringLiteral("用法：tavrin-settings");
const QString kEnglishHelp = QStringLiteral("Usage: tavrin-settings");
const QString kHelp = QStringLiteral("--help");
const QString kLang = QStringLiteral("--lang");
const QString kLangVar = QStringLiteral("LANG");

TEST(ProgramLanguageTest, ProgramsSpeakTheChosenLanguage)
{
    const Case cases[] = {
        {"no locale", kSettings, {kHelp}, {}, 0, kChineseHelp},
        {"C locale", kSettings, {kHelp}, {{kLangVar, QStringLiteral("C")}}, 0, kChineseHelp},
        {"Chinese locale", kSettings, {kHelp}, {{kLangVar, QStringLiteral("zh_CN.UTF-8")}}, 0, kChineseHelp},
        {"German locale", kSettings, {kHelp}, {{kLangVar, QStringLiteral("de_DE.UTF-8")}}, 0, kEnglishHelp},
        {"option over locale", kSettings, {kLang, QStringLiteral("en"), kHelp},
         {{kLangVar, QStringLiteral("zh_CN.UTF-8")}}, 0, kEnglishHelp},
        {"variable over locale", kSettings, {kHelp},
         {{QStringLiteral("TAVRIN_LANG"), QStringLiteral("zh")}, {QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8")}},
         0, kChineseHelp},
        {"message in English", kSettings, {QStringLiteral("list")}, {{kLangVar, QStringLiteral("en_GB.UTF-8")}}, 2,
         QStringLiteral("tavrin-settings: wrong usage; see tavrin-settings --help")},
        {"unknown language, said in Chinese", kSettings, {kLang, QStringLiteral("fr"), kHelp}, {}, 2,
         QStringLiteral("--lang 只接受 en 或 zh")},
        {"unknown language, said in English", kSettings, {QStringLiteral("--lang=fr")},
         {{kLangVar, QStringLiteral("fr_FR.UTF-8")}}, 2, QStringLiteral("--lang takes en or zh")},
        {"the window's program checks --lang too", kDemo, {kLang, QStringLiteral("xx")},
         {{kLangVar, QStringLiteral("en_US.UTF-8")}}, 2, QStringLiteral("--lang takes en or zh")},
    };
    for (const Case &c : cases)
        Check(c);
}

TEST(ProgramLanguageTest, AnInstalledProgramFindsItsTranslation)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const CRun install = Start(QStringLiteral(TAVRIN_CMAKE),
                              {QStringLiteral("--install"), QStringLiteral(TAVRIN_BUILD_DIR), QStringLiteral("--prefix"),
                               prefix.path()},
                              {});
    ASSERT_EQ(install.status, 0) << install.err.toStdString();
    const QString installed = QDir(prefix.path()).filePath(QStringLiteral(TAVRIN_INSTALL_APPDIR "/tavrin-settings"));
    Check({"installed copy", installed, {kLang, QStringLiteral("en"), kHelp}, {}, 0, kEnglishHelp});
}
} // namespace
