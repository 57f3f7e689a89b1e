#include "platform/chinese_font.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

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

bool HasAnyFont() {
    return !QFontDatabase::families().isEmpty();
}

}  // namespace ceph::platform
