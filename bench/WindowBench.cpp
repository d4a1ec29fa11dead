#include "app/MainDlg.h"
#include "common/MessageSink.h"
#include "resources/AppIcon.h"
#include "resources/DialogItems.h"
#include "resources/GamePadTemplate.h"
#include "resources/KeyboardTemplate.h"
#include "resources/MainTemplate.h"
#include "resources/MouseTemplate.h"
#include "sim/VirtualHidBackend.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWindow>

#include <functional>
#include <memory>

// The window's start-up and close side by side with a bare Qt dialog that holds the same widgets
// and texts (the same templates, built by the same builder, with a plain tab widget for the
// pages): what the window adds beyond the toolkit's floor. Goal: at most 1.1 times the floor for
// each. Run it on the display a user has, e.g. xvfb-run -a build/bin/tavrin_window_bench, since
// the window system's share (the icon, the frame) is part of the cost.
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
    // The widgets belong to the dialog; the builders are needed only while they build.
    auto dialog = std::make_unique<QDialog>();
    const CDialogItems main(MainDlgTemplate(), dialog.get());
    auto *tabs = new QTabWidget(dialog.get());
    tabs->setGeometry(main.GetDlgItem(1021)->geometry());
    for (const DialogTemplate *page : {&KeyboardTemplate(), &MouseTemplate(), &GamePadTemplate()}) {
        auto *host = new QWidget;
        const CDialogItems pageItems(*page, host);
        tabs->addTab(host, QString::fromStdString(page->caption));
    }
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
        auto bare = BareDialog();
        ShowAndWait(*bare);
        auto window = fixture.Window();
        ShowAndWait(*window);
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
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // As the program does: the window icon belongs to the application too.
    QApplication::setWindowIcon(AppIcon());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
