#pragma once

#include "app/KeySheet.h"
#include "app/KeyTableHost.h"
#include "device/ModuleCommands.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyTable.h"
#include "resources/DialogItems.h"

#include <QDialog>
#include <QString>

#include <map>
#include <optional>
#include <string>

class QTableWidget;
class QTableWidgetItem;

// The whole module at a glance, beside the main window: one row per key and one per parameter,
// with what the module held when last read, what this session wrote and what the open key-map
// file says, the last one editable. Works on files alone as long as no module has been found.
class CKeyTableDlg final : public QDialog {
    Q_OBJECT
public:
    enum Column { kKeyColumn, kModuleColumn, kWrittenColumn, kFileColumn, kMarkColumn, kColumns };

    // narrow: the form that covers the main window's page area.
    CKeyTableDlg(IKeyTableHost &host, QWidget *parent, bool narrow);

    CDialogItems &Items() { return m_items; }
    QTableWidget *Table() const { return m_table; }

    // Fills every row again from the main window and the file.
    void Refresh();

    // The actions of the buttons once their file is chosen; each tells the user what went wrong.
    bool OpenFile(const QString &path);
    bool SaveTo(const QString &path);
    bool ExportPdf(const QString &path);
    bool ExportHtml(const QString &path);
    // "写入全部": the file column to the module, as the window loads a key map, then read back.
    void WriteAll();
    // "校验": reads the module again, touching no control of the window, and refreshes its column.
    void Verify();
    // Shows row's key (or the column's entry of it) on its page of the main window.
    void ShowRowInMainWindow(int row, int column);

    // What the window tells the table: a search, a reset or the watcher may have changed the module
    // (its last reading is taken); a key was written; the module was read again.
    void TakeModuleReading();
    void OnKeyWritten(int keyIndex);
    void ShowReading(const ModuleSnapshot &reading);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ConnectCommands();
    std::string ModuleCell(int row) const;
    KeyMap ModuleMap() const;
    void SetUpTable();
    int KeyRows() const;
    int FileKeyCount() const;
    int RowOfParameter(MapParameter parameter) const;
    std::optional<MapParameter> ParameterOfRow(int row) const;

    void FillRow(int row);
    void SetCell(int row, int column, const std::string &text);
    // The cell's entry in the key map's form (what the cell shows is its plain words).
    QString CellEntry(int row, int column) const;
    void MarkRow(int row);
    void OnCellChanged(QTableWidgetItem *item);
    // Why the key-map reader refuses a cell's text, worded; empty when it takes it.
    QString CellRefusal(int row, const QString &text) const;

    std::optional<KeyMap> FileMap(bool bTellWhy) const;
    std::optional<KeyMap> ChosenMap() const;
    SheetSource Sheet() const;
    void WriteFileToModule();
    bool WriteExport(const QString &path, const QByteArray &bytes);
    QString AskSavePath(const char *title, const char *filter, const QString &suffix);

    void Open();
    void Save();
    void AskExportPdf();
    void AskExportHtml();
    void SetNote(const QString &text);

    IKeyTableHost &m_host;
    CDialogItems m_items;
    QTableWidget *m_table;
    // The file column as it stands, edits included: the cell text of each key and parameter.
    std::map<int, std::string> m_fileKeys;
    std::string m_fileParameters[2];
    // What the opened file names that has no row (work mode, baud): written and verified with it.
    KeyMap m_fileRowless;
    QString m_filePath;
    QString m_hint;
    // What the module held when last read, by the window's search or by "校验", and the keys
    // written since then, which the module holds now on top of it.
    std::optional<ModuleSnapshot> m_module;
    KeyMap m_writtenSinceRead;
    bool m_bFilling = false;
};
