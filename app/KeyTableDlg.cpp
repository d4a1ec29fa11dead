#include "app/KeyTableDlg.h"

#include "app/EntryWords.h"
#include "app/FileDialog.h"
#include "app/KeyMapSave.h"
#include "app/MessageBox.h"
#include "common/MessageSink.h"
#include "keymap/KeyMapFile.h"
#include "keymap/ModuleConfig.h"
#include "pages/PageDlg.h"
#include "resources/KeyTableTemplate.h"
#include "settings/SafeFile.h"
#include "settings/Utf8Path.h"
#include "translations/Translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>

namespace {
using namespace KeyTableId;

// The table's "模块" has the room for a longer word than the main window's label.
constexpr const char *kTableContext = "Tavrin 103";
constexpr const char *kColumnTitles[] = {
    QT_TRANSLATE_NOOP("Tavrin", "按键"), QT_TRANSLATE_NOOP("Tavrin 103", "模块"), QT_TRANSLATE_NOOP("Tavrin", "本次写入"),
    QT_TRANSLATE_NOOP("Tavrin", "文件"), QT_TRANSLATE_NOOP("Tavrin", "差异")};
constexpr const char *kFileInvalid = QT_TRANSLATE_NOOP("Tavrin", "文件一列的键值无法识别，不能保存或写入");
constexpr const char *kModuleAndWritten = QT_TRANSLATE_NOOP("Tavrin", "模块中的与本次写入的不同");
constexpr const char *kModuleAndFile = QT_TRANSLATE_NOOP("Tavrin", "模块中的与文件中的不同");
constexpr const char *kWrittenAndFile = QT_TRANSLATE_NOOP("Tavrin", "本次写入的与文件中的不同");
constexpr const char *kNoSuchKey = QT_TRANSLATE_NOOP("Tavrin", "模块没有这个按键");
// %1 the row, %2 its cell, %3 why the reader refuses it.
constexpr const char *kCellInvalid = QT_TRANSLATE_NOOP("Tavrin", "%1 的键值不能写入，请先改正：%2（%3）");
constexpr const char *kColumnEmpty = QT_TRANSLATE_NOOP("Tavrin", "所选的一列没有任何键值。");
constexpr const char *kNeedsModule = QT_TRANSLATE_NOOP("Tavrin", "未找到有效模块，请先在主窗口查找模块");
constexpr const char *kOpenTitle = QT_TRANSLATE_NOOP("Tavrin", "打开键值文件");
constexpr const char *kSaveTitle = QT_TRANSLATE_NOOP("Tavrin", "保存键值文件");
constexpr const char *kKeyMapFilter = QT_TRANSLATE_NOOP("Tavrin", "键值文件 (*.txt);;所有文件 (*)");
constexpr const char *kPdfTitle = QT_TRANSLATE_NOOP("Tavrin", "导出PDF");
constexpr const char *kPdfFilter = QT_TRANSLATE_NOOP("Tavrin", "PDF 文件 (*.pdf);;所有文件 (*)");
constexpr const char *kHtmlTitle = QT_TRANSLATE_NOOP("Tavrin", "导出HTML");
constexpr const char *kHtmlFilter = QT_TRANSLATE_NOOP("Tavrin", "网页文件 (*.html);;所有文件 (*)");
constexpr const char *kOpened = QT_TRANSLATE_NOOP("Tavrin", "已打开 %1");
constexpr const char *kWriteFailed = QT_TRANSLATE_NOOP("Tavrin", "无法写入文件 %1：%2");
// A sheet of 64 keys is a few pages; far more than that is no sheet of ours.
constexpr std::size_t kMaxSheetSize = 16 * 1024 * 1024;
constexpr const char *kNoEntry = QT_TRANSLATE_NOOP("Tavrin", "%1 没有可显示的键值");
constexpr const char *kClosestPage = QT_TRANSLATE_NOOP("Tavrin", "%1 的记录（%2）只有原始形式能表示，页面显示的是最接近的设置");
constexpr const char *kConfirmWrite = QT_TRANSLATE_NOOP("Tavrin", "将把 %1 中 %2 个按键的键值写入模块，是否继续？");
constexpr const char *kConfirmWriteAndParameters =
    QT_TRANSLATE_NOOP("Tavrin", "将把 %1 中 %2 个按键的键值和参数（长按连发、按键消抖）写入模块，是否继续？");
constexpr const char *kUnsavedFile = QT_TRANSLATE_NOOP("Tavrin", "文件一列");
constexpr const char *kNoReply = QT_TRANSLATE_NOOP("Tavrin", "校验：模块没有应答");
constexpr const char *kInvalidReply = QT_TRANSLATE_NOOP("Tavrin", "校验：模块的应答无效");
constexpr const char *kReadAgain = QT_TRANSLATE_NOOP("Tavrin", "校验：已重新读取模块");
constexpr const char *kFileMatches = QT_TRANSLATE_NOOP("Tavrin", "校验：模块与文件一致");
constexpr const char *kFileDiffers = QT_TRANSLATE_NOOP("Tavrin", "校验：模块与文件不同：%1");
constexpr const char *kRecordBytes = QT_TRANSLATE_NOOP("Tavrin", "记录的字节：%1");
// Keys of the file the module's reply does not reach: not checked, so never a match.
constexpr const char *kNotChecked = QT_TRANSLATE_NOOP("Tavrin", "（另有 %1 个按键超出模块的应答，无法校验）");
constexpr const char *kUnreadable = "—";
constexpr const char *kDifferMark = "≠";
constexpr const char *kInvalidMark = "!";

QString ColumnTitle(int column)
{
    const QString own = QCoreApplication::translate(kTableContext, kColumnTitles[column]);
    return own != QString::fromUtf8(kColumnTitles[column]) ? own : TranslatedText(kColumnTitles[column]);
}

QString Text(const char *source, std::vector<std::string> args = {})
{
    return QString::fromStdString(TranslateText({source, std::move(args)}));
}

std::string Hex(const KeyRecord &record)
{
    char text[12];
    std::snprintf(text, sizeof text, "%02X %02X %02X", record[0], record[1], record[2]);
    return text;
}

// The file column's editor marks a text the key-map reader would refuse while it is typed, with
// the reader's reason.
class CCellCheckDelegate final : public QStyledItemDelegate {
public:
    // Why the reader refuses the text; empty when it takes it.
    using Check = std::function<QString(int row, const QString &text)>;
    CCellCheckDelegate(Check check, QObject *parent) : QStyledItemDelegate(parent), m_check(std::move(check)) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
            const int row = index.row();
            connect(edit, &QLineEdit::textChanged, edit, [this, edit, row](const QString &text) {
                const QString refusal = m_check(row, text);
                edit->setProperty("invalid", !refusal.isEmpty());
                QPalette palette = edit->parentWidget()->palette();
                if (!refusal.isEmpty())
                    palette.setColor(QPalette::Base, QColor(255, 215, 215));
                edit->setPalette(palette);
                edit->setToolTip(refusal);
                edit->setAccessibleDescription(edit->toolTip());
            });
        }
        return editor;
    }

private:
    Check m_check;
};

// A cell of the module, session or file column: it holds, and edits, the entry in the key map's
// own form, and shows it in plain words.
class CEntryItem final : public QTableWidgetItem {
public:
    QVariant data(int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(m_words) : QTableWidgetItem::data(role);
    }
    QString Entry() const { return QTableWidgetItem::data(Qt::EditRole).toString(); }
    void SetWords(const QString &words) { m_words = words; }

private:
    QString m_words;
};

QTableWidgetItem *FixedItem(QTableWidgetItem *item)
{
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// What a cell holds in a form two columns can be compared in: a key's record, a parameter's
// value; nullopt for an empty cell, "!" for one the reader refuses.
std::optional<std::string> CellValue(const std::optional<MapParameter> &parameter, int row, const QString &text)
{
    if (text.isEmpty() || text == QString::fromUtf8(kUnreadable))
        return std::nullopt;
    if (parameter) {
        KeyMap map;
        const CellState state = ReadParameterCell(*parameter, text.toStdString(), map);
        if (state == CellState::Invalid)
            return kInvalidMark;
        return ParameterCellText(map, *parameter);
    }
    const KeyCell cell = ReadKeyCell(row, text.toStdString());
    if (cell.state == CellState::Invalid)
        return kInvalidMark;
    return cell.state == CellState::Valid ? std::optional(Hex(cell.entry.record)) : std::nullopt;
}
} // namespace

CKeyTableDlg::CKeyTableDlg(IKeyTableHost &host, QWidget *parent, bool narrow)
    : QDialog(parent, Qt::Window), m_host(host), m_items(narrow ? NarrowKeyTableTemplate() : KeyTableTemplate(), this),
      m_table(m_items.Item<QTableWidget>(kTable))
{
    setWindowTitle(KeyTableName());
    setFixedSize(size());
    m_hint = m_items.Item<QLabel>(kNote)->text();
    SetUpTable();
    ConnectCommands();
    TakeModuleReading();
}

void CKeyTableDlg::SetUpTable()
{
    m_table->setColumnCount(kColumns);
    QStringList titles;
    for (int column = 0; column < kColumns; ++column)
        titles << ColumnTitle(column);
    m_table->setHorizontalHeaderLabels(titles);
    m_table->setAccessibleName(KeyTableName());
    // The three columns of entries share the width; a row is one line of text high.
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    for (const int column : {kKeyColumn, kMarkColumn})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + m_items.Units().Y(3));
    m_items.SetCurSel(kContent, 0);
    // Typing or F2 edits the file column; a double click, like Enter, shows the key in the window.
    m_table->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_table->setItemDelegate(new CCellCheckDelegate(
        [this](int row, const QString &text) { return CellRefusal(row, text); }, m_table));
}

void CKeyTableDlg::ConnectCommands()
{
    connect(m_items.Item<QPushButton>(kOpen), &QPushButton::clicked, this, &CKeyTableDlg::Open);
    // A save or export is one operation on the module too: it keeps the column as shown when it
    // was asked for, and a module that comes or goes inside its file dialog is handled after it.
    const auto asOperation = [this](int id, void (CKeyTableDlg::*command)()) {
        connect(m_items.Item<QPushButton>(id), &QPushButton::clicked, this,
                [this, command] { m_host.RunOperation([this, command] { (this->*command)(); }); });
    };
    asOperation(kSave, &CKeyTableDlg::Save);
    asOperation(kExportPdf, &CKeyTableDlg::AskExportPdf);
    asOperation(kExportHtml, &CKeyTableDlg::AskExportHtml);
    connect(m_items.Item<QPushButton>(kClose), &QPushButton::clicked, this, &QDialog::close);
    connect(m_items.Item<QPushButton>(kWriteAll), &QPushButton::clicked, this, &CKeyTableDlg::WriteAll);
    connect(m_items.Item<QPushButton>(kVerify), &QPushButton::clicked, this, &CKeyTableDlg::Verify);
    connect(m_table, &QTableWidget::itemChanged, this, &CKeyTableDlg::OnCellChanged);
    connect(m_table, &QTableWidget::activated, this,
            [this](const QModelIndex &index) { ShowRowInMainWindow(index.row(), index.column()); });
}

// The window's search read the module: its column shows that reading from now on.
void CKeyTableDlg::TakeModuleReading()
{
    const ModuleSnapshot *reading = m_host.LastReading();
    m_module = reading ? std::optional(*reading) : std::nullopt;
    m_writtenSinceRead = {};
    Refresh();
}

// The module was read again (the check after a key map was written): its column shows that.
void CKeyTableDlg::ShowReading(const ModuleSnapshot &reading)
{
    m_module = reading;
    m_writtenSinceRead = {};
    Refresh();
}

void CKeyTableDlg::OnKeyWritten(int keyIndex)
{
    for (const KeyMapEntry &entry : m_host.WrittenKeys().keys) {
        if (entry.keyIndex == keyIndex)
            SetKey(m_writtenSinceRead, entry);
    }
    if (keyIndex >= KeyRows())
        Refresh();
    else
        FillRow(keyIndex);
}

std::string CKeyTableDlg::ModuleCell(int row) const
{
    if (!m_module)
        return {};
    if (const auto parameter = ParameterOfRow(row))
        return ParameterCellText(KeyMapOfModule(*m_module), *parameter);
    if (row < static_cast<int>(m_module->keys.size()))
        return KeyCellText(EntryOfRecord(row, m_module->keys[static_cast<std::size_t>(row)]));
    return row < m_module->keyCount ? kUnreadable : std::string();
}

// The module as last read with the keys written since on top; before any reading, what this
// session wrote.
KeyMap CKeyTableDlg::ModuleMap() const
{
    if (!m_module)
        return m_host.WrittenKeys();
    KeyMap map = KeyMapOfModule(*m_module);
    for (const KeyMapEntry &entry : m_writtenSinceRead.keys)
        SetKey(map, entry);
    return map;
}

int CKeyTableDlg::FileKeyCount() const
{
    return m_fileKeys.empty() ? 0 : m_fileKeys.rbegin()->first + 1;
}

// The module's keys once a query listed them; before, the open file's, or the settings' count.
int CKeyTableDlg::KeyRows() const
{
    int rows = m_host.ListedKeys();
    if (rows == 0)
        rows = m_filePath.isEmpty() ? m_host.KeyCount() : FileKeyCount();
    int written = m_host.WrittenKeys().keys.empty() ? 0 : m_host.WrittenKeys().keys.back().keyIndex + 1;
    return std::clamp(std::max({rows, FileKeyCount(), written}), 0, kMaxKeyCount);
}

int CKeyTableDlg::RowOfParameter(MapParameter parameter) const
{
    return KeyRows() + (parameter == MapParameter::LongPress ? 0 : 1);
}

std::optional<MapParameter> CKeyTableDlg::ParameterOfRow(int row) const
{
    const int keys = KeyRows();
    if (row < keys)
        return std::nullopt;
    return row == keys ? MapParameter::LongPress : MapParameter::Debounce;
}

void CKeyTableDlg::Refresh()
{
    m_bFilling = true;
    m_table->setRowCount(KeyRows() + 2);
    m_bFilling = false;
    for (int row = 0; row < m_table->rowCount(); ++row)
        FillRow(row);
    const bool module = m_host.ListedKeys() > 0;
    for (const int id : {kWriteAll, kVerify}) {
        QWidget *button = m_items.GetDlgItem(id);
        button->setEnabled(module);
        button->setToolTip(module ? QString() : TranslatedText(kNeedsModule));
        button->setAccessibleDescription(button->toolTip());
    }
}

void CKeyTableDlg::SetCell(int row, int column, const std::string &text)
{
    QTableWidgetItem *item = m_table->item(row, column);
    if (!item) {
        item = column == kKeyColumn || column == kMarkColumn ? new QTableWidgetItem : new CEntryItem;
        m_table->setItem(row, column, column == kFileColumn ? item : FixedItem(item));
    }
    if (auto *entry = dynamic_cast<CEntryItem *>(item))
        entry->SetWords(PlainWords(ParameterOfRow(row), row, text));
    item->setText(QString::fromStdString(text));
}

QString CKeyTableDlg::CellEntry(int row, int column) const
{
    const auto *item = dynamic_cast<const CEntryItem *>(m_table->item(row, column));
    return item ? item->Entry() : QString();
}

void CKeyTableDlg::FillRow(int row)
{
    m_bFilling = true;
    const std::optional<MapParameter> parameter = ParameterOfRow(row);
    const KeyMap &written = m_host.WrittenKeys();
    if (parameter) {
        const int which = static_cast<int>(*parameter);
        SetCell(row, kKeyColumn, ParameterName(*parameter).toStdString());
        SetCell(row, kModuleColumn, ModuleCell(row));
        SetCell(row, kWrittenColumn, ParameterCellText(written, *parameter));
        SetCell(row, kFileColumn, m_fileParameters[which]);
    } else {
        SetCell(row, kKeyColumn, KeyName(row));
        SetCell(row, kModuleColumn, ModuleCell(row));
        const auto entry = std::find_if(written.keys.begin(), written.keys.end(),
                                        [row](const KeyMapEntry &held) { return held.keyIndex == row; });
        SetCell(row, kWrittenColumn, entry == written.keys.end() ? std::string() : KeyCellText(*entry));
        const auto file = m_fileKeys.find(row);
        SetCell(row, kFileColumn, file == m_fileKeys.end() ? std::string() : file->second);
    }
    m_bFilling = false;
    MarkRow(row);
}

QString CKeyTableDlg::CellRefusal(int row, const QString &text) const
{
    UserText reason;
    if (const auto parameter = ParameterOfRow(row)) {
        KeyMap scratch;
        ReadParameterCell(*parameter, text.toStdString(), scratch, &reason);
    } else {
        reason = ReadKeyCell(row, text.toStdString()).reason;
    }
    return reason.source.empty() ? QString() : QString::fromStdString(TranslateText(reason));
}

void CKeyTableDlg::MarkRow(int row)
{
    const std::optional<MapParameter> parameter = ParameterOfRow(row);
    const auto value = [&](int column) { return CellValue(parameter, row, CellEntry(row, column)); };
    const auto written = value(kWrittenColumn), file = value(kFileColumn);
    // A key written since the module was read differs from that reading as a matter of course.
    const bool stale = std::any_of(m_writtenSinceRead.keys.begin(), m_writtenSinceRead.keys.end(),
                                   [row](const KeyMapEntry &entry) { return entry.keyIndex == row; });
    const auto module = stale ? std::nullopt : value(kModuleColumn);
    QStringList reasons;
    if (file == kInvalidMark)
        reasons << TranslatedText(kFileInvalid);
    const auto differ = [](const auto &a, const auto &b) { return a && b && *a != kInvalidMark && *b != kInvalidMark && *a != *b; };
    if (differ(module, written))
        reasons << TranslatedText(kModuleAndWritten);
    if (differ(module, file))
        reasons << TranslatedText(kModuleAndFile);
    if (differ(written, file))
        reasons << TranslatedText(kWrittenAndFile);
    if (!parameter && file && m_host.ListedKeys() > 0 && row >= m_host.ListedKeys())
        reasons << TranslatedText(kNoSuchKey);

    m_bFilling = true;
    SetCell(row, kMarkColumn, reasons.isEmpty() ? std::string() : file == kInvalidMark ? kInvalidMark : kDifferMark);
    QTableWidgetItem *mark = m_table->item(row, kMarkColumn);
    mark->setTextAlignment(Qt::AlignCenter);
    const QString reason = reasons.join(QStringLiteral("; "));
    mark->setToolTip(reason);
    mark->setData(Qt::AccessibleTextRole, reason);
    QTableWidgetItem *fileCell = m_table->item(row, kFileColumn);
    fileCell->setBackground(file == kInvalidMark ? QBrush(QColor(255, 215, 215)) : QBrush());
    // The bytes behind the plain words, which only the key map's raw form spells out.
    for (const int column : {kModuleColumn, kWrittenColumn, kFileColumn}) {
        const KeyCell cell = parameter ? KeyCell{} : ReadKeyCell(row, CellEntry(row, column).toStdString());
        m_table->item(row, column)->setToolTip(cell.state == CellState::Valid ? Text(kRecordBytes, {Hex(cell.entry.record)})
                                               : QString());
    }
    if (file == kInvalidMark)
        fileCell->setToolTip(CellRefusal(row, CellEntry(row, kFileColumn)));
    m_bFilling = false;
}

void CKeyTableDlg::OnCellChanged(QTableWidgetItem *item)
{
    if (m_bFilling || item->column() != kFileColumn)
        return;
    const int row = item->row();
    const std::string text = CellEntry(row, kFileColumn).toStdString();
    m_bFilling = true;
    SetCell(row, kFileColumn, text);
    m_bFilling = false;
    if (const auto parameter = ParameterOfRow(row))
        m_fileParameters[static_cast<int>(*parameter)] = text;
    else if (text.empty())
        m_fileKeys.erase(row);
    else
        m_fileKeys[row] = text;
    MarkRow(row);
}

std::optional<KeyMap> CKeyTableDlg::FileMap(bool bTellWhy) const
{
    KeyMap map = m_fileRowless;
    for (const auto &[index, text] : m_fileKeys) {
        const KeyCell cell = ReadKeyCell(index, text);
        if (cell.state == CellState::Invalid) {
            if (bTellWhy)
                ShowMessage(kCellInvalid, {KeyName(index), QuotedInput(text), TranslateText(cell.reason)});
            return std::nullopt;
        }
        if (cell.state == CellState::Valid)
            SetKey(map, cell.entry);
    }
    for (const MapParameter parameter : {MapParameter::LongPress, MapParameter::Debounce}) {
        const std::string &text = m_fileParameters[static_cast<int>(parameter)];
        UserText reason;
        if (ReadParameterCell(parameter, text, map, &reason) == CellState::Invalid) {
            if (bTellWhy)
                ShowMessage(kCellInvalid, {ParameterName(parameter).toStdString(),
                                           QuotedInput(text), TranslateText(reason)});
            return std::nullopt;
        }
    }
    return map;
}

// The column that save and export take, as the content list chooses it.
std::optional<KeyMap> CKeyTableDlg::ChosenMap() const
{
    const bool file = m_items.GetCurSel(kContent) == 1;
    const std::optional<KeyMap> map = file ? FileMap(true) : std::optional(ModuleMap());
    if (map && map->keys.empty() && !map->HasParameters()) {
        ShowMessage(kColumnEmpty);
        return std::nullopt;
    }
    return map;
}

// A note stands until the next; with nothing to say, the hint on using the table comes back.
void CKeyTableDlg::SetNote(const QString &text)
{
    m_items.Item<QLabel>(kNote)->setText(text.isEmpty() ? m_hint : text);
}

void CKeyTableDlg::Open()
{
    const QString path = AskOpenPath(this, kOpenTitle, kKeyMapFilter, m_filePath);
    if (!path.isEmpty())
        OpenFile(path);
}

bool CKeyTableDlg::OpenFile(const QString &path)
{
    const int listed = m_host.ListedKeys();
    const std::optional<KeyMap> map = LoadKeyMapFile(path.toStdString(), listed > 0 ? listed : kMaxKeyCount);
    if (!map)
        return false;
    m_fileKeys.clear();
    m_fileRowless = {};
    m_fileRowless.workMode = map->workMode;
    m_fileRowless.baud = map->baud;
    for (const KeyMapEntry &entry : map->keys)
        m_fileKeys[entry.keyIndex] = KeyCellText(entry);
    for (const MapParameter parameter : {MapParameter::LongPress, MapParameter::Debounce})
        m_fileParameters[static_cast<int>(parameter)] = ParameterCellText(*map, parameter);
    m_filePath = path;
    m_items.SetCurSel(kContent, 1);
    SetNote(Text(kOpened, {QuotedInput(path.toStdString())}));
    Refresh();
    return true;
}

QString CKeyTableDlg::AskSavePath(const char *title, const char *filter, const QString &suffix)
{
    return ::AskSavePath(this, title, filter, QFileInfo(m_filePath).path(), suffix);
}

void CKeyTableDlg::Save()
{
    if (!ChosenMap())
        return;
    const QString path = AskSavePath(kSaveTitle, kKeyMapFilter, QLatin1String(kKeyMapSuffix));
    if (!path.isEmpty())
        SaveTo(path);
}

bool CKeyTableDlg::SaveTo(const QString &path)
{
    const std::optional<KeyMap> map = ChosenMap();
    if (!map)
        return false;
    const QString saved = SaveKeyMapAndLog(path, *map, [this](const QString &line) { m_host.AddLogLine(line); });
    if (saved.isEmpty())
        return false;
    if (m_items.GetCurSel(kContent) == 1)
        m_filePath = saved;
    return true;
}

bool CKeyTableDlg::WriteExport(const QString &path, const QByteArray &bytes)
{
    const std::string_view content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const FileError error = SaveWholeFile(PathFromUtf8(path.toStdString()), content, kMaxSheetSize);
    if (error.Failed()) {
        ShowMessage(kWriteFailed, {QuotedInput(path.toStdString()), TranslateText(FileErrorReason(error))});
        return false;
    }
    if (const auto warning = DescribeFileWarning(error, path.toStdString()))
        ShowMessage(*warning);
    m_host.AddLogLine(SavedLine(path));
    return true;
}

bool CKeyTableDlg::ExportHtml(const QString &path)
{
    const std::optional<KeyMap> map = ChosenMap();
    if (!map)
        return false;
    return WriteExport(path, SheetHtmlFile(SheetHtml(*map, Sheet())));
}

bool CKeyTableDlg::ExportPdf(const QString &path)
{
    const std::optional<KeyMap> map = ChosenMap();
    if (!map)
        return false;
    return WriteExport(path, SheetPdfFile(SheetHtml(*map, Sheet()), font()));
}

// Where the sheet's column comes from: the module, and the file where the column is the file's.
SheetSource CKeyTableDlg::Sheet() const
{
    const bool file = m_items.GetCurSel(kContent) == 1 && !m_filePath.isEmpty();
    return {m_host.ListedKeys() > 0 ? m_host.ModuleName() : std::string(),
            file ? QFileInfo(m_filePath).fileName() : QString()};
}

void CKeyTableDlg::AskExportPdf()
{
    if (!ChosenMap())
        return;
    const QString path = AskSavePath(kPdfTitle, kPdfFilter, QStringLiteral(".pdf"));
    if (!path.isEmpty())
        ExportPdf(path);
}

void CKeyTableDlg::AskExportHtml()
{
    if (!ChosenMap())
        return;
    const QString path = AskSavePath(kHtmlTitle, kHtmlFilter, QStringLiteral(".html"));
    if (!path.isEmpty())
        ExportHtml(path);
}

void CKeyTableDlg::WriteAll()
{
    m_host.RunOperation([this] { WriteFileToModule(); });
}

void CKeyTableDlg::WriteFileToModule()
{
    const std::optional<KeyMap> map = FileMap(true);
    if (!map)
        return;
    if (map->keys.empty() && !map->HasParameters()) {
        ShowMessage(kColumnEmpty);
        return;
    }
    const std::string file =
        m_filePath.isEmpty() ? TranslateText({kUnsavedFile, {}}) : QFileInfo(m_filePath).fileName().toStdString();
    const QString question = Text(map->HasParameters() ? kConfirmWriteAndParameters : kConfirmWrite,
                                  {QuotedInput(file), std::to_string(map->keys.size())});
    if (QMessageBox::question(this, MessageBoxTitle(), question) != QMessageBox::Yes)
        return;
    if (m_host.WriteKeyMap(*map))
        m_host.VerifyKeyMap(*map);
    if (m_host.ModuleStillThere())
        Verify();
}

void CKeyTableDlg::Verify()
{
    const ModuleReading reading = m_host.ReadModuleAgain();
    if (!reading.valid) {
        SetNote(TranslatedText(reading.status == QueryStatus::NoReply ? kNoReply : kInvalidReply));
        return;
    }
    ShowReading(reading.valid->Snapshot());
    const std::optional<KeyMap> file = FileMap(false);
    if (!file || (file->keys.empty() && !file->HasParameters())) {
        SetNote(TranslatedText(kReadAgain));
        return;
    }
    const VerifyReport report = CompareWithModule(*file, reading.valid->Snapshot());
    QStringList items;
    for (const ConfigDifference &difference : report.differences)
        items << QString::fromStdString(difference.item);
    QString note = report.Matches() ? TranslatedText(kFileMatches)
                                    : Text(kFileDiffers, {items.join(QStringLiteral(", ")).toStdString()});
    if (!report.unreadableKeys.empty())
        note += Text(kNotChecked, {std::to_string(report.unreadableKeys.size())});
    SetNote(note);
}

void CKeyTableDlg::ShowRowInMainWindow(int row, int column)
{
    if (row < 0 || ParameterOfRow(row))
        return;
    // The column activated, else the first that holds an entry: the file, this session, the module.
    std::vector<int> columns{kFileColumn, kWrittenColumn, kModuleColumn};
    if (column == kFileColumn || column == kWrittenColumn || column == kModuleColumn)
        columns.insert(columns.begin(), column);
    std::optional<KeyMapEntry> entry;
    for (const int candidate : columns) {
        const KeyCell cell = ReadKeyCell(row, CellEntry(row, candidate).toStdString());
        if (cell.state == CellState::Valid) {
            entry = cell.entry;
            break;
        }
    }
    if (!entry) {
        SetNote(Text(kNoEntry, {KeyName(row)}));
        return;
    }
    const bool exact = m_host.ShowEntry(*entry);
    SetNote(exact ? QString() : Text(kClosestPage, {KeyName(row), "raw " + Hex(entry->record)}));
}

void CKeyTableDlg::keyPressEvent(QKeyEvent *event)
{
    // Enter in the table has shown the key; it does not close the window.
    if (IsEnterKey(event)) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
