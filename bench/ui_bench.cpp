// Start-up time of the settings tool, from process start to its window
// shown, against a bare Qt 6 dialog with the same widgets, in the same run.
// Each measurement starts a fresh process (this program in a child mode) on
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
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/form1_layout.h"
#include "ui/program.h"
#include "ui/qt/text_qt.h"
#include "ui/qt/toolkit_qt.h"

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
  return RunSettingsWindow(toolkit, QtToolkitModule());
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
  for (const ControlSpec& row : Form1Layout()) {
    QWidget* parent = row.parent == kWindowClientArea ? client : made[static_cast<size_t>(row.parent)];
    QString caption = ToQString(row.caption);
    QWidget* widget = nullptr;
    switch (row.kind) {
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
    if (row.kind != ControlKind::kTabSheet) {
      widget->setGeometry(row.left, row.top, row.width, row.height);
      widget->setHidden(!row.shown);
    }
    made.push_back(widget);
  }
  window.show();
  WaitUntilExposed(window);
  return 0;
}

std::string self_path;

// Starts this program in a child mode and returns the seconds until it
// ended, or a negative value when it failed.
double TimeChild(const char* mode) {
  std::string flag = "--child", kind = mode;
  char* argv[] = {self_path.data(), flag.data(), kind.data(), nullptr};
  auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (::posix_spawn(&child, self_path.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Process start-up times wander with the machine's load, so each iteration
// starts the two side by side, in alternating order, and the ratio is taken
// between the medians of the pairs.
void BM_StartUpToWindowShown(benchmark::State& state) {
  std::vector<double> tarnconfig, bare;
  for (auto _ : state) {
    bool tarnconfig_first = tarnconfig.size() % 2 == 0;
    double first = TimeChild(tarnconfig_first ? "tarnconfig" : "bare");
    double second = TimeChild(tarnconfig_first ? "bare" : "tarnconfig");
    if (first < 0 || second < 0) {
      state.SkipWithError("a child process failed");
      return;
    }
    tarnconfig.push_back(tarnconfig_first ? first : second);
    bare.push_back(tarnconfig_first ? second : first);
  }
  double tarnconfig_median = Median(tarnconfig), bare_median = Median(bare);
  state.counters["tarnconfig_ms"] = tarnconfig_median * 1000;
  state.counters["bare_qt_ms"] = bare_median * 1000;
  state.counters["ratio"] = tarnconfig_median / bare_median;
}
BENCHMARK(BM_StartUpToWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

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
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(hive);
  return 0;
}
