#include "platform/run.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/filesys.h"
#include "platform/chinese_font.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "store/handoff.h"

namespace ceph::platform {

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
