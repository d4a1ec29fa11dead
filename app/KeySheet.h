#pragma once

#include "keymap/KeyMap.h"

#include <QByteArray>
#include <QString>

#include <string>

class QFont;

// A printable sheet of a key map: the table's name, the module and the file it comes from and
// the date, then each key and parameter in plain words.
struct SheetSource {
    std::string module; // empty where no module was found
    QString file;       // the key-map file's name, for a sheet of the file column
};
QString SheetHtml(const KeyMap &map, const SheetSource &source);

// The sheet as a page of HTML, and as an A4 PDF in font.
QByteArray SheetHtmlFile(const QString &html);
QByteArray SheetPdfFile(const QString &html, const QFont &font);
