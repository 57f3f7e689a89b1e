#include "platform/run.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/filesys.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "store/handoff.h"

namespace ceph::platform {

namespace {

// The font installed with the program (on Windows, in fonts\ beside it), loaded for this
// process only: the texts, the report and the PDF look the same on a Windows without
// Traditional Chinese fonts, under Wine and on Linux. Where the folder is missing (a
// Linux install) the system's fonts are used.
bool LoadBundledFonts() {
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    const QStringList files =
        fonts.entryList({QStringLiteral("*.ttc"), QStringLiteral("*.otf"), QStringLiteral("*.ttf")},
                        QDir::Files | QDir::Readable, QDir::Name);
    bool loaded = false;
    for (const QString& file : files) {
        // Read here and handed over as data: the font engines take a file's path in the
        // system's 8-bit code page, which cannot name a folder with Chinese characters on
        // a Windows set to another language.
        QFile font(fonts.filePath(file));
        if (font.open(QIODevice::ReadOnly))
            loaded |= QFontDatabase::addApplicationFontFromData(font.readAll()) >= 0;
    }
    return loaded;
}

}  // namespace

const char* InstallChineseFont() {
    static const bool bundled = LoadBundledFonts();
    static_cast<void>(bundled);
    // Faces with Taiwan glyph shapes first; the others still show every character.
    static const char* const kFamilies[] = {
        "Noto Sans CJK TC", "Noto Sans TC",     "AR PL UMing TW",   "Microsoft JhengHei",
        "PMingLiU",         "Noto Sans CJK HK", "WenQuanYi Zen Hei"};
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kFamilies) {
        if (!installed.contains(QString::fromUtf8(family))) continue;
        QFont font(QString::fromUtf8(family));
        font.setPointSizeF(9);
        QGuiApplication::setFont(font);
        return family;
    }
    return "";
}

bool InstallChineseTranslations() {
    // Kept for the whole run: the application reads its texts whenever a dialog is made.
    static QTranslator* const translator = new QTranslator(QCoreApplication::instance());
    static bool installed = false;
    if (installed) return true;
    const QString catalogue = QStringLiteral("qtbase_zh_TW");
    const QStringList folders{
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (translator->load(catalogue, folder)) {
            installed = QCoreApplication::installTranslator(translator);
            return installed;
        }
    }
    return false;
}

namespace {

// The arguments after the program's name, without those Qt took for itself. POSIX
// paths are bytes and are kept as they are: text through QString would replace what
// is not UTF-8 (a Big5 folder name) and name another file. Windows gives Qt the wide
// command line, whose UTF-8 is the path.
std::vector<std::string> HandoffArguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
    std::vector<std::string> arguments;
#ifdef _WIN32
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        arguments.push_back(args[i].toStdString());
#else
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
#endif
    return arguments;
}

}  // namespace

// Qt takes its own options out of argc and argv as the application is made.
int RunReadceph(int argc, char** argv) {
#ifdef _WIN32
    // Glyphs are drawn by FreeType, as on Linux: texts, reports and PDF pages look the
    // same on both, and Windows' DirectWrite is never asked about the print face made
    // for the PDF text layer (Wine's crashes on it). A platform chosen by the user stands.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("readceph"));
    InstallChineseFont();
    InstallChineseTranslations();

    QtServices services;
    ui::App program(services);
    app::StartupEnv env;
    env.handoffArgument = store::HandoffPathFromArguments(HandoffArguments(argc, argv));
    env.currentDir = base::CurrentFolder();
    env.testDataDir = app::DefaultTestDataDir();
    app::FormLoad(program, env);
    if (program.quitRequested) return 0;

    QtMainWindow window(program, &services.Pictures());
    services.SetParentWindow(&window);
    services.SetPickerRunner([&window] { window.RunPicker(); });
    window.show();
    // Told once the window is there, each after the one before is answered.
    QTimer::singleShot(0, &window, [&program, &services] {
        for (const std::string& notice : program.notices)
            services.ShowMessage(notice, ui::kExclamationOk);
        program.notices.clear();
    });
    return QApplication::exec();
}

}  // namespace ceph::platform
