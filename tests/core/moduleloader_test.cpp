// The module loader against the program's real modules in the build, and
// against folders where a module is missing, damaged or incomplete.

#include "core/moduleloader.h"
#include "support/modulefolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vartemo {
namespace {

struct ModuleEntry {
    const char* module;
    const char* entry;
};
// The program's modules and the entry each must export.
const ModuleEntry kProgramModules[] = {
    {"vartemo_ftp", "vartemo_make_ftp_session"},
    {"vartemo_liveresults", "vartemo_make_live_results_http"},
    {"vartemo_media", "vartemo_make_media_backend"},
};

TEST(ModuleLoader, EveryModuleOfTheProgramLoadsFromTheBuildAndExportsItsEntry) {
    for (const ModuleEntry& m : kProgramModules) {
        QString error;
        const QString file = modules::Find(QString::fromLatin1(m.module));
        EXPECT_EQ(QFileInfo(file).fileName(), QString::fromLatin1(m.module) + ".so") << m.module;
        EXPECT_NE(modules::Entry(QString::fromLatin1(m.module), m.entry, &error), nullptr) << m.module << ": "
                                                                                           << error.toStdString();
        EXPECT_TRUE(error.isEmpty()) << m.module;
    }
}

TEST(ModuleLoader, WithoutChosenFoldersTheProgramsFolderAndItsLibraryFolderAreSearched) {
    test::ModuleFolders none({});
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QStringList folders = modules::SearchFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], program);
    // An installation's bin/ and lib/.../vartemo/ beside each other.
    EXPECT_TRUE(folders[1].endsWith(QStringLiteral("/vartemo"))) << folders[1].toStdString();
    EXPECT_TRUE(QDir::cleanPath(folders[1]).startsWith(QDir::cleanPath(program + "/.."))) << folders[1].toStdString();
}

// Each failure gives a Czech reason that names the module and what went wrong.
TEST(ModuleLoader, AMissingDamagedOrIncompleteModuleGivesItsReasonAndNoEntry) {
    QTemporaryDir folder;
    {
        QFile damaged(folder.filePath(QStringLiteral("vartemo_damaged.so")));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("\x7f" "ELF but nothing more");
    }
    // A real shared object that lacks the entry asked for: a module of the build.
    ASSERT_TRUE(QFile::copy(modules::Find(QStringLiteral("vartemo_media")),
                            folder.filePath(QStringLiteral("vartemo_other.so"))));
    test::ModuleFolders only({folder.path()});
    struct Case {
        const char* module;
        const char* reasonStart;
    };
    const Case cases[] = {
        {"vartemo_ftp", "Modul vartemo_ftp.so nebyl nalezen (hledáno v "},
        {"vartemo_damaged", "Modul "},
        {"vartemo_other", "Modul "},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(modules::Entry(QString::fromLatin1(c.module), "vartemo_make_ftp_session", &error), nullptr)
            << c.module;
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.reasonStart))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.module) + ".so")) << error.toStdString();
    }
    QString error;
    modules::Entry(QStringLiteral("vartemo_ftp"), "vartemo_make_ftp_session", &error);
    EXPECT_TRUE(error.contains(folder.path())) << "the folder looked in: " << error.toStdString();
    modules::Entry(QStringLiteral("vartemo_damaged"), "x", &error);
    EXPECT_TRUE(error.contains(QStringLiteral("nelze načíst"))) << error.toStdString();
    modules::Entry(QStringLiteral("vartemo_other"), "vartemo_make_ftp_session", &error);
    EXPECT_TRUE(error.contains(QStringLiteral("nemá vstup vartemo_make_ftp_session"))) << error.toStdString();
}

TEST(ModuleLoader, AModuleMissingOnceIsFoundWhenItIsThereAtTheNextUse) {
    QTemporaryDir folder;
    test::ModuleFolders only({folder.path()});
    QString error;
    EXPECT_EQ(modules::Entry(QStringLiteral("vartemo_media"), "vartemo_make_media_backend", &error), nullptr);
    test::ModuleFolders build({QStringLiteral(VARTEMO_MODULE_BUILD_DIR)});
    EXPECT_NE(modules::Entry(QStringLiteral("vartemo_media"), "vartemo_make_media_backend", &error), nullptr)
        << error.toStdString();
}

} // namespace
} // namespace vartemo
