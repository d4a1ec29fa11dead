#include "app/KeyTableDlg.h"
#include "app/MainDlg.h"
#include "common/ControlIds.h"
#include "common/MessageSink.h"
#include "keymap/KeyMapReader.h"
#include "resources/AppIcon.h"
#include "resources/DialogItems.h"
#include "resources/GamePadTemplate.h"
#include "resources/KeyTableTemplate.h"
#include "resources/KeyboardTemplate.h"
#include "resources/MainTemplate.h"
#include "resources/MouseTemplate.h"
#include "sim/VirtualHidBackend.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDataStream>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

// The window's start-up and close side by side with a bare Qt dialog that holds the same widgets
// and texts (the same templates, built by the same builder, with a plain tab widget for the
// pages): what the window adds beyond the toolkit's floor. Goals: start at most 1.1 times the
// floor, close at most 1.05 times, and a process with the key table open at most 1.1 times the
// memory of one showing the bare dialog beside a bare table with the same cells. Run it on the
// display a user has, e.g. xvfb-run -a build/bin/tavrin_window_bench, since the window system's
// share (the icon, the frame) is part of the cost.
namespace {
class CSilentSink final : public IMessageSink {
public:
    void ShowMessage(const UserText &) override {}
};

void ShowAndWait(QDialog &dialog)
{
    dialog.show();
    while (!dialog.windowHandle() || !dialog.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

void Close(QDialog &dialog)
{
    dialog.reject();
    QCoreApplication::processEvents();
}

std::unique_ptr<QDialog> BareDialog()
{
    // The widgets belong to the dialog; the builders are needed only while they build. Like the
    // window's, they stand on a content widget in a frameless scroll area, which lets the window
    // scroll on a screen smaller than itself: that is part of the widget tree compared.
    auto dialog = std::make_unique<QDialog>();
    auto *scroll = new QScrollArea(dialog.get());
    scroll->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget;
    const CDialogItems main(MainDlgTemplate(), content);
    auto *tabs = new QTabWidget(content);
    tabs->setGeometry(main.GetDlgItem(1021)->geometry());
    for (const DialogTemplate *page : {&KeyboardTemplate(), &MouseTemplate(), &GamePadTemplate()}) {
        auto *host = new QWidget;
        const CDialogItems pageItems(*page, host);
        tabs->addTab(host, QString::fromStdString(page->caption));
    }
    scroll->setWidget(content);
    auto *layout = new QVBoxLayout(dialog.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    dialog->resize(content->size());
    dialog->setWindowTitle(QStringLiteral("Tavrin V2.3 Vela"));
    return dialog;
}

struct Fixture {
    Fixture()
    {
        QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings());
        QFile::setPermissions(settings(), QFile::ReadOwner | QFile::WriteOwner);
        AddStandardModule(backend, module);
    }
    QString settings() const { return folder.filePath(QStringLiteral("confight.ini")); }
    std::unique_ptr<CMainDlg> Window() { return std::make_unique<CMainDlg>(backend, settings().toStdString()); }

    QTemporaryDir folder;
    CVirtualModule module;
    CVirtualHidBackend backend;
    CSilentSink sink;
    CMessageSinkScope scope{sink};
};

// Milliseconds of each, and the window's time over the floor's.
void Report(benchmark::State &state, qint64 windowNs, qint64 bareNs)
{
    const double runs = static_cast<double>(state.iterations());
    state.counters["window_ms"] = windowNs / 1e6 / runs;
    state.counters["bare_ms"] = bareNs / 1e6 / runs;
    state.counters["ratio"] = bareNs > 0 ? static_cast<double>(windowNs) / static_cast<double>(bareNs) : 0.0;
}

void BM_StartUp(benchmark::State &state)
{
    Fixture fixture;
    qint64 windowNs = 0, bareNs = 0;
    int runs = 0;
    for (auto _ : state) {
        // Each goes first in every other run, as for closing.
        std::unique_ptr<QDialog> bare, window;
        const auto timeStart = [](const std::function<std::unique_ptr<QDialog>()> &make, std::unique_ptr<QDialog> &dialog,
                                  qint64 &ns) {
            QElapsedTimer clock;
            clock.start();
            dialog = make();
            ShowAndWait(*dialog);
            ns += clock.nsecsElapsed();
        };
        const auto makeWindow = [&fixture]() -> std::unique_ptr<QDialog> { return fixture.Window(); };
        if (++runs % 2) {
            timeStart(makeWindow, window, windowNs);
            timeStart(BareDialog, bare, bareNs);
        } else {
            timeStart(BareDialog, bare, bareNs);
            timeStart(makeWindow, window, windowNs);
        }
        state.PauseTiming();
        bare.reset();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    Report(state, windowNs, bareNs);
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

// Closing with the settings unchanged, as most runs end.
void BM_Close(benchmark::State &state)
{
    Fixture fixture;
    qint64 windowNs = 0, bareNs = 0;
    int runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Each is made first in every other run too: the one made second finds a fuller heap.
        std::unique_ptr<QDialog> bare, window;
        for (int made = 0; made < 2; ++made) {
            if ((made + runs) % 2)
                ShowAndWait(*(window = fixture.Window()));
            else
                ShowAndWait(*(bare = BareDialog()));
        }
        state.ResumeTiming();
        // Each goes first in every other run: the second close finds the window system busier.
        const auto timeClose = [](std::unique_ptr<QDialog> dialog, qint64 &ns) {
            QElapsedTimer clock;
            clock.start();
            Close(*dialog);
            dialog.reset();
            ns += clock.nsecsElapsed();
        };
        if (++runs % 2) {
            timeClose(std::move(window), windowNs);
            timeClose(std::move(bare), bareNs);
        } else {
            timeClose(std::move(bare), bareNs);
            timeClose(std::move(window), windowNs);
        }
    }
    Report(state, windowNs, bareNs);
}
BENCHMARK(BM_Close)->Unit(benchmark::kMillisecond);

// Memory: each side is a process of its own (this program again), since a process's resident
// memory only grows. The window's side writes the key table's cells for the bare side to show.
constexpr const char *kMemoryChild = "--memory-of";

// Resident memory in KiB, as the kernel counts it (0 where there is no /proc).
long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return 0;
}

// What a table shows, cell by cell, tooltips and headings included.
struct TableCells {
    QStringList headings;
    QList<QStringList> texts;
    QList<QStringList> tips;
};

QDataStream &operator<<(QDataStream &stream, const TableCells &cells)
{
    return stream << cells.headings << cells.texts << cells.tips;
}

QDataStream &operator>>(QDataStream &stream, TableCells &cells)
{
    return stream >> cells.headings >> cells.texts >> cells.tips;
}

TableCells CellsOf(const QTableWidget &table)
{
    TableCells cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells.headings << table.horizontalHeaderItem(column)->text();
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList texts, tips;
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem *item = table.item(row, column);
            texts << (item ? item->text() : QString());
            tips << (item ? item->toolTip() : QString());
        }
        cells.texts << texts;
        cells.tips << tips;
    }
    return cells;
}

void SettleOnScreen()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The window after a search, with its key table open; the table's cells go to cellsFile.
long WindowMemory(const QString &cellsFile)
{
    Fixture fixture;
    // Keys of every page, so that the cells carry words and tooltips.
    const std::optional<KeyMap> map =
        ParseKeyMap("KEY-1 = c+CTRL\nKEY-2 = ENTER\nKEY-3 = MLKey\nKEY-4 = GameKey1\n", kMaxKeyCount).map;
    for (const KeyMapEntry &entry : map ? map->keys : std::vector<KeyMapEntry>{})
        std::copy(entry.record.begin(), entry.record.end(),
                  fixture.module.Memory().begin() + kKeyRecordBase + 3 * entry.keyIndex);
    auto window = fixture.Window();
    ShowAndWait(*window);
    window->Items().Item<QPushButton>(MainId::kFindModule)->click();
    window->ShowKeyTable();
    SettleOnScreen();
    QFile file(cellsFile);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    QDataStream stream(&file);
    stream << CellsOf(*window->KeyTable()->Table());
    return ResidentKiB();
}

// The bare dialog and, as a window of its own, a dialog built from the key table's template
// whose table holds the same cells.
long BareMemory(const QString &cellsFile)
{
    TableCells cells;
    QFile file(cellsFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QDataStream stream(&file);
    stream >> cells;
    const auto bare = BareDialog();
    ShowAndWait(*bare);
    QDialog tableDialog(nullptr, Qt::Window);
    const CDialogItems items(KeyTableTemplate(), &tableDialog);
    auto *table = items.Item<QTableWidget>(KeyTableId::kTable);
    table->setColumnCount(static_cast<int>(cells.headings.size()));
    table->setRowCount(static_cast<int>(cells.texts.size()));
    table->setHorizontalHeaderLabels(cells.headings);
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            auto *item = new QTableWidgetItem(cells.texts[row][column]);
            item->setToolTip(cells.tips[row][column]);
            table->setItem(row, column, item);
        }
    }
    ShowAndWait(tableDialog);
    SettleOnScreen();
    return ResidentKiB();
}

long MemoryOf(const QString &side, const QString &cellsFile)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kMemoryChild), side, cellsFile});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return 0;
    return child.readAllStandardOutput().trimmed().toLong();
}

double Median(std::vector<long> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : static_cast<double>(values[values.size() / 2]);
}

// Whole processes: the window's after a search with the key table open, against the bare one.
void BM_MemoryWithKeyTable(benchmark::State &state)
{
    const QTemporaryDir folder;
    const QString cellsFile = folder.filePath(QStringLiteral("cells"));
    std::vector<long> window, bare;
    for (auto _ : state) {
        window.push_back(MemoryOf(QStringLiteral("window"), cellsFile));
        bare.push_back(MemoryOf(QStringLiteral("bare"), cellsFile));
    }
    const double windowKiB = Median(window), bareKiB = Median(bare);
    state.counters["window_MiB"] = windowKiB / 1024;
    state.counters["bare_MiB"] = bareKiB / 1024;
    state.counters["ratio"] = bareKiB > 0 ? windowKiB / bareKiB : 0.0;
}
BENCHMARK(BM_MemoryWithKeyTable)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == kMemoryChild) {
        QApplication::setWindowIcon(AppIcon());
        const QString cellsFile = QString::fromLocal8Bit(argv[3]);
        const long kib = QByteArray(argv[2]) == "window" ? WindowMemory(cellsFile) : BareMemory(cellsFile);
        std::printf("%ld\n", kib);
        return kib > 0 ? 0 : 1;
    }
    // As the program does: the window icon belongs to the application too.
    QApplication::setWindowIcon(AppIcon());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
