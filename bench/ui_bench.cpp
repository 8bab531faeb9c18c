// Start-up time of the settings tool, from process start to its window
// shown, against a bare Qt 6 dialog with the same widgets, in the same run.
// Each iteration starts a fresh process (this program in a child mode) on
// the offscreen platform and waits for it to end once its window is shown.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ui/form1_layout.h"
#include "ui/program.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_toolkit.h"

extern char** environ;

namespace tarn {
namespace {

void WaitUntilExposed(QWidget& window) {
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  QApplication::processEvents();
}

// The real toolkit, whose message loop ends as soon as the window shows.
class ShownToolkit final : public QtToolkit {
 public:
  void RunUntilClosed(WindowView& window) override {
    WaitUntilExposed(QtWindowWidget(window));
    window.Close();
  }
};

int RunTarnconfig(int argc, char** argv) {
  SetQtArguments(argc, argv);
  ShownToolkit toolkit;
  return RunProgram(toolkit, QtToolkitModule());
}

// The same controls made directly with Qt, without the toolkit layer, the
// settings or the module start-ups.
int RunBareDialog(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  window.setFixedSize(286, 413);
  window.setWindowTitle(QStringLiteral("Configura\u00E7\u00F5es"));
  auto* client = new QWidget(&window);
  client->setGeometry(3, 3, 280, 407);
  std::vector<QWidget*> made;
  for (const ControlSpec& spec : Form1Layout()) {
    QWidget* parent = spec.parent == kWindowClientArea ? client : made[static_cast<size_t>(spec.parent)];
    QString caption = ToQString(spec.caption);
    QWidget* widget = nullptr;
    switch (spec.kind) {
      case ControlKind::kPageControl: widget = new QTabWidget(parent); break;
      case ControlKind::kTabSheet:
        widget = new QWidget();
        static_cast<QTabWidget*>(parent)->addTab(widget, caption);
        break;
      case ControlKind::kPanel: widget = new QFrame(parent); break;
      case ControlKind::kButton: widget = new QPushButton(caption, parent); break;
      case ControlKind::kLabel: widget = new QLabel(caption, parent); break;
      case ControlKind::kEdit: widget = new QLineEdit(caption, parent); break;
      case ControlKind::kCheckBox: widget = new QCheckBox(caption, parent); break;
      case ControlKind::kBevel: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        widget = line;
        break;
      }
    }
    if (spec.kind != ControlKind::kTabSheet) {
      widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
      widget->setHidden(!spec.shown);
    }
    made.push_back(widget);
  }
  window.show();
  WaitUntilExposed(window);
  return 0;
}

std::string self_path;

void StartAndWait(benchmark::State& state, const char* mode) {
  for (auto _ : state) {
    std::string flag = "--child", kind = mode;
    char* argv[] = {self_path.data(), flag.data(), kind.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, self_path.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start the child process");
      return;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the child process failed");
      return;
    }
  }
}

void BM_TarnconfigWindowShown(benchmark::State& state) { StartAndWait(state, "tarnconfig"); }
void BM_BareQtDialogShown(benchmark::State& state) { StartAndWait(state, "bare"); }
// Process start-up times wander with the machine's load: the two are
// repeated, interleaved at random, and compared by their medians.
BENCHMARK(BM_TarnconfigWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(10);
BENCHMARK(BM_BareQtDialogShown)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(10);

// Prints the runs as usual, then the ratio of the two start-ups (their
// medians when repeated).
class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions, the median comes after the single runs and wins.
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      times_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double tarn = 0, bare = 0;
    for (const auto& [name, time] : times_) {
      if (name.find("Tarnconfig") != std::string::npos) tarn = time;
      if (name.find("Bare") != std::string::npos) bare = time;
    }
    if (tarn > 0 && bare > 0) std::printf("start-up ratio tarnconfig / bare Qt dialog: %.3f\n", tarn / bare);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace tarn

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
    int child_argc = 1;
    return std::strcmp(argv[2], "bare") == 0 ? tarn::RunBareDialog(child_argc, argv)
                                             : tarn::RunTarnconfig(child_argc, argv);
  }
  tarn::self_path = std::filesystem::read_symlink("/proc/self/exe").string();
  // No display is needed, and the children keep their registry hive apart.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::string hive = std::filesystem::temp_directory_path() / "tarn-ui-bench";
  ::setenv("XDG_CONFIG_HOME", hive.c_str(), 1);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> args(argv, argv + argc);
  args.insert(args.begin() + 1, interleave.data());  // flags given by the user come after and win
  int args_count = static_cast<int>(args.size());
  benchmark::Initialize(&args_count, args.data());
  tarn::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::remove_all(hive);
  return 0;
}
