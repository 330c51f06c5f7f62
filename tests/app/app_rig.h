// A program without a window for the shell's logic: GL work is counted
// instead of run, redraws and reports are recorded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/navigation.h"
#include "app/program.h"

namespace valdrin::test {

struct AppRig {
  std::unique_ptr<Program> program = std::make_unique<Program>();
  int rebuilds = 0;
  int redraws = 0;
  std::vector<std::string> reports;
  NavigationHooks hooks;

  AppRig() {
    program->with_gl = [this](const std::function<void()>&) { ++rebuilds; };
    hooks.redraw = [this] { ++redraws; };
    hooks.report = [this](const std::string& text) { reports.push_back(text); };
    resize_frustum(program->view, 801, 601);
  }
};

}  // namespace valdrin::test
