#include "app/KeySheet.h"

#include "app/EntryWords.h"
#include "common/UserText.h"
#include "translations/Translation.h"

#include <QBuffer>
#include <QDateTime>
#include <QPdfWriter>
#include <QTextDocument>

namespace {
constexpr const char *kSheetModule = QT_TRANSLATE_NOOP("Tavrin", "模块：%1");
constexpr const char *kSheetFile = QT_TRANSLATE_NOOP("Tavrin", "文件：%1");
constexpr const char *kSheetDate = QT_TRANSLATE_NOOP("Tavrin", "日期：%1");
constexpr const char *kSheetKey = QT_TRANSLATE_NOOP("Tavrin", "按键");
constexpr const char *kSheetAssignment = QT_TRANSLATE_NOOP("Tavrin", "键值");
constexpr const char *kNoModule = "—";

QString Line(const char *source, const std::string &value)
{
    return QString::fromStdString(TranslateText({source, {value}})).toHtmlEscaped();
}
} // namespace

QString SheetHtml(const KeyMap &map, const SheetSource &source)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body><h2>%1</h2><p>")
                       .arg(KeyTableName().toHtmlEscaped());
    html += Line(kSheetModule, source.module.empty() ? kNoModule : source.module);
    if (!source.file.isEmpty())
        html += QStringLiteral("<br>") + Line(kSheetFile, source.file.toStdString());
    html += QStringLiteral("<br>") +
            Line(kSheetDate, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString());
    html += QStringLiteral("</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tr><th>%1</th><th>%2</th></tr>")
                .arg(TranslatedText(kSheetKey).toHtmlEscaped(), TranslatedText(kSheetAssignment).toHtmlEscaped());
    const auto addRow = [&](const QString &name, const QString &words) {
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(name.toHtmlEscaped(), words.toHtmlEscaped());
    };
    for (const KeyMapEntry &entry : map.keys)
        addRow(QString::fromStdString(KeyName(entry.keyIndex)), EntryWords(entry));
    for (const MapParameter parameter : {MapParameter::LongPress, MapParameter::Debounce}) {
        const std::string value = ParameterCellText(map, parameter);
        if (!value.empty())
            addRow(ParameterName(parameter), PlainWords(parameter, 0, value));
    }
    return html + QStringLiteral("</table></body></html>");
}

QByteArray SheetHtmlFile(const QString &html)
{
    QTextDocument sheet;
    sheet.setHtml(html);
    return sheet.toHtml().toUtf8();
}

QByteArray SheetPdfFile(const QString &html, const QFont &font)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&bytes);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(KeyTableName());
        writer.setCreator(QStringLiteral("Tavrin"));
        QTextDocument sheet;
        sheet.setDefaultFont(font);
        sheet.setHtml(html);
        sheet.print(&writer);
    }
    return bytes.data();
}
