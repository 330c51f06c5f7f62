// The main window: start-up order, menu, timer, dispatch and shutdown.
#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>

#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/panel_commands.h"
#include "app/shell.h"
#include "app/snapshot_print.h"
#include "panels/about_box.h"
#include "panels/gis_panel.h"
#include "panels/info_panel.h"
#include "panels/panel.h"
#include "panels/query_panel.h"
#include "panels/timeline_panel.h"

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
      {"Show Info Panel", kCommandShowInfoPanel}}},
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

MainWindow::MainWindow(Program& program)
    : program_(program),
      view_(new GlView(
          program, [this] { start_up_with_context(); }, this)),
      timeline_(timeline_sources(program)) {
  timeline_.draw = [this] { view_->present_frame(); };
  setObjectName("mainw");
  setWindowTitle("Valdrin 1.0d");
  setCentralWidget(view_);
  resize(kOuterWidth, kOuterHeight);
  program_.with_gl = [this](const std::function<void()>& work) { view_->with_context(work); };
  view_->set_hooks(NavigationHooks{
      [this] { view_->present_frame(); },
      // Qt itself holds the mouse for the view between press and release.
      [this] { view_->setFocus(); },
      nullptr,
      // The report lands in the Info text; the Info Panel shows it, and
      // itself, even when the user had hidden it.
      [this](const std::string& text) {
        info_append(program_.info, text);
        if (program_.panels.info != nullptr) show_info_text(*program_.panels.info, program_.info);
      },
  });
  timer_.setInterval(kTimerMs);
  connect(&timer_, &QTimer::timeout, this, [this] { on_timer(kTimerId); });
  timer_.start();
  if (!program_.dialogs.run)
    program_.dialogs.run = [this](bool save, const std::string& dir, const std::string& ext) {
      return run_dialog(this, save, dir, ext);
    };
  if (!program_.run_print_dialog)
    program_.run_print_dialog = [this](QPrinter& printer) {
      return run_print_dialog(this, printer);
    };
}

MainWindow::~MainWindow() {
  program_.panels = PanelWindows{};
  program_.refresh_timeline = nullptr;
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

void MainWindow::start_up_with_context() {
  // The rest of start-up, in its order, once the scene stands: the menu,
  // the working directory and the file dialogs, then the panels, of which
  // the Timeline Panel's creation runs the time-window reset.
  build_menu();
  init_file_dialogs(program_.dialogs);
  create_panels();
}

void MainWindow::create_panels() {
  // Child panels are placed from the top left of the client area, below
  // the menu bar, which the window's layout may not have placed yet.
  QMenuBar* bar = menuBar();
  const QPoint origin(
      0, bar->hasHeightForWidth() ? bar->heightForWidth(width()) : bar->sizeHint().height());
  PanelWindows& panels = program_.panels;
  panels.gis = build_panel(kGisTemplate, this, origin);
  if (panels.gis != nullptr) {
    init_gis_panel(*panels.gis, program_.gis);
    connect_gis_panel(*panels.gis,
                      [this](uint16_t id, int value) { gis_change(program_, id, value); });
  }
  panels.query = build_panel(kQueryTemplate, this, origin);
  init_query_panel(*panels.query, program_.query, [this] { rebuild(program_); });
  // The Timeline Panel is recorded before its set-up, whose time-window
  // reset already refreshes it.
  panels.timeline = build_panel(kTimelineTemplate, this, origin);
  program_.refresh_timeline = [this] {
    if (timeline_.refresh) timeline_.refresh();
  };
  init_timeline_panel(*panels.timeline, timeline_);
  panels.info = build_panel(kInfoTemplate, this, origin);
  if (panels.info != nullptr)
    connect_info_panel(
        *panels.info,
        [this] {
          info_clear(program_.info);
          set_info_text(*program_.panels.info, program_.info);
        },
        [this] { save_info_text(program_); });
  panels.about = build_panel(kAboutTemplate, this, origin);
  if (panels.about != nullptr) init_about_box(*panels.about);
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
    case kCommandDefaultLocation: default_location(program_.view); break;
    case kCommandDefaultTime:
      default_time(program_.time, program_.query);
      rebuild(program_);
      break;
    case kCommandDefaultQuery:
      default_query(program_.query);
      if (program_.panels.query != nullptr)
        show_query_masks(*program_.panels.query, program_.query);
      rebuild(program_);
      break;
    default:
      // The saved-state items: no action of their own here.
      break;
  }
  view_->present_frame();
}

void MainWindow::on_timer(int id) { valdrin::on_timer(timeline_, id); }

void MainWindow::quit_app() {
  timer_.stop();
  view_->release_scene();
  close();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (sized_) return;
  sized_ = true;
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

}  // namespace valdrin
