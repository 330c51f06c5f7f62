// The main window: start-up order, menu, timer, dispatch and shutdown.
#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <iterator>

#include "app/change.h"
#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/shell.h"
#include "app/snapshot_print.h"
#include "panels/panel.h"

namespace valdrin {

namespace {

constexpr int kTimerId = 1;
constexpr int kTimerMs = 500;
constexpr int kOuterWidth = 1024;
constexpr int kOuterHeight = 768;

struct MenuItem {
  const char* text;
  int id;
};
struct MenuSpec {
  const char* title;
  MenuItem items[5];
};

// The menu bar, in order; an item with id 0 ends a menu.
constexpr MenuSpec kMenus[] = {
    {"File",
     {{"Load Data..", kCommandLoadData},
      {"Generate Data", kCommandGenerateData},
      {"Save Snapshot..", kCommandSaveSnapshot},
      {"Print..", kCommandPrint},
      {"Quit", kCommandQuit}}},
    {"Location",
     {{"Default Location", kCommandDefaultLocation}, {"Saved Location", kCommandSavedLocation}}},
    {"Time", {{"Default Time", kCommandDefaultTime}, {"Saved Time", kCommandSavedTime}}},
    {"Query", {{"Default Query", kCommandDefaultQuery}, {"Saved Query", kCommandSavedQuery}}},
    {"Panel",
     {{"Show GIS Panel", kCommandShowGisPanel},
      {"Show Query Panel", kCommandShowQueryPanel},
      {"Show Timeline Panel", kCommandShowTimelinePanel},
      {"Show Info Panel", kCommandShowInfoPanel},
      {"Show Analysis Panel", kCommandShowAnalysisPanel}}},
    {"Help", {{"About..", kCommandAbout}}},
};

// The real dialogs: Qt's file dialogs, listing the files with the extension.
std::string run_dialog(QWidget* owner, bool save, const std::string& directory,
                       const std::string& extension) {
  const QString filter = QString::fromStdString("*" + extension);
  const QString dir = QString::fromStdString(directory);
  const QString chosen = save ? QFileDialog::getSaveFileName(owner, QString(), dir, filter)
                              : QFileDialog::getOpenFileName(owner, QString(), dir, filter);
  return chosen.toStdString();
}

// The real print dialog: no page ranges, selection or current page to
// choose, as the printout is one page; printing to a file stays offered, as
// the way to a PDF on a machine without a printer.
int run_print_dialog(QWidget* owner, QPrinter& printer) {
  QPrintDialog dialog(&printer, owner);
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace

MainWindow::MainWindow(Program& program) : program_(program), view_(new GlView(program, this)) {
  setObjectName("mainw");
  setWindowTitle("Valdrin 1.0d");
  setCentralWidget(view_);
  setAcceptDrops(true);
  resize(kOuterWidth, kOuterHeight);
  Services& services = program_.services;
  services.with_gl = [this](const std::function<void()>& work) { view_->with_context(work); };
  services.request_frame = [this] { frame_due_ = true; };
  if (!services.run_file_dialog)
    services.run_file_dialog = [this](bool save, const std::string& dir, const std::string& ext) {
      return run_dialog(this, save, dir, ext);
    };
  if (!services.run_print_dialog)
    services.run_print_dialog = [this](QPrinter& printer) {
      return run_print_dialog(this, printer);
    };
  view_->set_hooks(NavigationHooks{
      [this] { present_frame(); },
      // Qt itself holds the mouse for the view between press and release.
      [this] { view_->setFocus(); },
      nullptr,
  });
  timer_.setInterval(kTimerMs);
  connect(&timer_, &QTimer::timeout, this, [this] { on_timer(kTimerId); });
  timer_.start();
}

MainWindow::~MainWindow() {
  program_.panels = PanelWindows{};
  program_.services = Services{};
}

void MainWindow::build_menu() {
  for (const MenuSpec& entry : kMenus) {
    QMenu* menu = menuBar()->addMenu(entry.title);
    for (const MenuItem& item : entry.items) {
      if (item.id == 0) break;
      QAction* action = menu->addAction(item.text);
      action->setData(item.id);
    }
  }
  connect(menuBar(), &QMenuBar::triggered, this,
          [this](QAction* action) { on_command(action->data().toInt()); });
}

void MainWindow::set_up() {
  if (program_.set_up_runs > 0) return;
  // The view's context comes with its first resize; until then, wait.
  if (!view_->has_context()) {
    QTimer::singleShot(10, this, [this] { set_up(); });
    return;
  }
  ++program_.set_up_runs;
  view_->with_context([this] { init_scene(program_.scene, program_.analysis, program_.data_dir); });
  // Frames and picks measure columns in the scene's bands from the first.
  program_.view.events_per_band = program_.scene.events_per_band;
  build_menu();
  init_file_dialogs(program_.dialogs);
  create_panels();
  if (after_set_up_) after_set_up_();
  present_frame();
}

void MainWindow::create_panels() {
  // Child panels are placed from the top left of the client area, below
  // the menu bar, which the window's layout may not have placed yet.
  QMenuBar* bar = menuBar();
  const QPoint origin(
      0, bar->hasHeightForWidth() ? bar->heightForWidth(width()) : bar->sizeHint().height());
  const auto report = [this](unsigned changed) { apply_change(program_, changed); };
  for (const PanelRow& row : kPanelRows) {
    Panel* panel = build_panel(row.template_id, this, origin);
    program_.panels.*row.slot = panel;
    if (panel != nullptr) row.init(*panel, program_, report);
  }
  // The panels cascade from the top left: each lies above the ones created
  // after it, so that every caption bar shows.
  for (auto row = std::rbegin(kPanelRows); row != std::rend(kPanelRows); ++row)
    if (Panel* panel = program_.panels.*row->slot) panel->raise();
}

void MainWindow::show_panel(Panel* panel) {
  if (panel != nullptr) panel->show_panel();
}

void MainWindow::on_command(int id) {
  switch (id) {
    case kCommandLoadData: load_data_command(program_); break;
    case kCommandGenerateData: generate_data_command(program_); break;
    case kCommandSaveSnapshot: snapshot_command(program_, timer_); break;
    case kCommandPrint: print_command(program_, timer_); break;
    case kCommandQuit: quit_app(); return;  // nothing is drawn after Quit
    case kCommandAbout: show_panel(program_.panels.about); break;
    case kCommandShowGisPanel: show_panel(program_.panels.gis); break;
    case kCommandShowQueryPanel: show_panel(program_.panels.query); break;
    case kCommandShowTimelinePanel: show_panel(program_.panels.timeline); break;
    case kCommandShowInfoPanel: show_panel(program_.panels.info); break;
    case kCommandShowAnalysisPanel: show_panel(program_.panels.analysis); break;
    case kCommandDefaultLocation: default_location(program_.view); break;
    case kCommandDefaultTime:
      default_time(program_.analysis.time, program_.analysis.query);
      apply_change(program_, kWindowChanged);
      break;
    case kCommandDefaultQuery:
      default_query(program_.analysis.query);
      apply_change(program_, kQueryChanged);
      break;
    default:
      // The saved-state items: no action of their own here.
      break;
  }
  present_frame();
}

void MainWindow::on_timer(int id) {
  const unsigned changed = valdrin::on_timer(program_.analysis, program_.playback, id);
  if (changed != 0) apply_change(program_, changed);
  if (id == kTimerId && frame_due_) present_frame();
}

void MainWindow::present_frame() {
  frame_due_ = false;
  view_->present_frame();
}

void MainWindow::quit_app() {
  timer_.stop();
  view_->release_scene();
  close();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (sized_) return;
  sized_ = true;
  // The rest of start-up runs once the window is up, so that anything it
  // has to say (a missing map, say) shows over the window.
  QTimer::singleShot(0, this, [this] { set_up(); });
  if (first_client_size_) {
    resize(*first_client_size_);
    return;
  }
  // The outer frame is 1024 x 768: take the window manager's decorations,
  // if any, off the client size.
  const QSize frame = frameGeometry().size();
  const QSize inner = geometry().size();
  resize(kOuterWidth - (frame.width() - inner.width()),
         kOuterHeight - (frame.height() - inner.height()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Both ways out, the Quit command and the close box, end here; the loop
  // then returns 0.
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::exit(0);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!dropped_data_file(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::string path = dropped_data_file(event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  QTimer::singleShot(0, this, [this, path] {
    load_data_file(program_, path);
    present_frame();
  });
}

std::string dropped_data_file(const QMimeData* data) {
  if (data == nullptr) return "";
  for (const QUrl& url : data->urls())
    if (url.isLocalFile() && url.toLocalFile().endsWith(".vdr", Qt::CaseInsensitive))
      return url.toLocalFile().toStdString();
  return "";
}

}  // namespace valdrin
