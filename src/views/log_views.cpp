// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/log_views.h"

#include <algorithm>
#include <array>

#include "text/codec.h"
#include "text/sjis.h"
#include "views/log_alignment.h"

namespace zeltaro::views {
namespace {

std::array<Pane*, 4> alignedPanes(const LogPanes& p) {
  return {&p.Memo_Log2, &p.Memo_Log3, &p.Memo_Log4, &p.Memo_Log5};
}

void setVisibility(const LogPanes& p, bool aligned, LogFilter filter) {
  p.Memo_Log.visible = !aligned;
  p.Memo_Log2.visible = aligned && filter == LogFilter::All;
  const bool stacked = aligned && filter == LogFilter::Stacked;
  p.Memo_Log3.visible = stacked || (aligned && filter == LogFilter::List1);
  p.Memo_Log4.visible = stacked || (aligned && filter == LogFilter::List2);
  p.Memo_Log5.visible = stacked || (aligned && filter == LogFilter::List3);
}

struct Remembered {
  int selStart = 0;
  int selLength = 0;
  std::string firstLine;
};

}  // namespace

LogFilter filterFromLog123(int log123) {
  return log123 >= 1 && log123 <= 4 ? static_cast<LogFilter>(log123) : LogFilter::All;
}

void refreshViews(LogPanes panes, int columns, std::string_view welcomeText,
                  const std::function<void()>& feedNewest) {
  if (paneText(panes.Memo_Log) == welcomeText) return;

  const std::vector<std::string> aligned = alignLog(panes.Memo_Log.lines, columns);

  const std::array<Pane*, 4> targets = alignedPanes(panes);
  std::array<Remembered, 4> kept;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    Pane& pane = *targets[i];
    kept[i] = {pane.selStart, pane.selLength, pane.lines.empty() ? "" : pane.lines.front()};
    pane.lines.clear();
    pane.selStart = pane.selLength = 0;
  }

  for (const std::string& line : aligned) {
    panes.Memo_Log2.lines.push_back(line);
    if (line.size() > 0 && line[0] == '1') panes.Memo_Log3.lines.push_back(line);
    if (line.size() > 1 && line[1] == '2') panes.Memo_Log4.lines.push_back(line);
    if (line.size() > 2 && line[2] == '3') panes.Memo_Log5.lines.push_back(line);
  }

  // New lines arrive at the top: find the old first line in the new text and move the
  // selection down by as much as it moved.
  for (std::size_t i = 0; i < targets.size(); ++i) {
    Pane& pane = *targets[i];
    if (kept[i].firstLine.empty()) continue;
    const std::string text = paneText(pane);
    const std::size_t p = text::find(text, kept[i].firstLine);
    if (p == 0) continue;
    const int size = static_cast<int>(text.size());
    pane.selStart = std::clamp(kept[i].selStart + static_cast<int>(p) - 1, 0, size);
    pane.selLength = std::clamp(kept[i].selLength, 0, size - pane.selStart);
  }

  if (feedNewest) feedNewest();
}

void ApplyDisplayMode(LogPanes panes, bool aligned, LogFilter filter) {
  if (aligned && filter == LogFilter::Stacked)
    LayOutLogPanes(panes, aligned, filter);
  else
    setVisibility(panes, aligned, filter);
  for (Pane* p :
       {&panes.Memo_Log, &panes.Memo_Log2, &panes.Memo_Log3, &panes.Memo_Log4, &panes.Memo_Log5})
    p->scrollToTop();
}

void LayOutLogPanes(LogPanes panes, bool aligned, LogFilter filter) {
  const Rect all = panes.Memo_Log2.bounds;
  if (aligned && filter == LogFilter::Stacked) {
    const int third = all.height / 3;
    panes.Memo_Log3.bounds = {all.left, all.top, all.width, third};
    panes.Memo_Log4.bounds = {all.left, all.top + third, all.width, third};
    panes.Memo_Log5.bounds = {all.left, all.top + 2 * third, all.width, all.height - 2 * third};
    setVisibility(panes, aligned, filter);
    return;
  }
  setVisibility(panes, aligned, filter);
  for (Pane* p : {&panes.Memo_Log3, &panes.Memo_Log4, &panes.Memo_Log5}) {
    p->bounds.top = all.top;
    p->bounds.height = all.height;
  }
}

void clearPanes(LogPanes panes) {
  for (Pane* p :
       {&panes.Memo_Log, &panes.Memo_Log2, &panes.Memo_Log3, &panes.Memo_Log4, &panes.Memo_Log5})
    p->clear();
}

Pane* menuPane(LogPanes panes) {
  for (Pane* p : alignedPanes(panes))
    if (p->visible) return p;
  return nullptr;
}

LogMenu prepareLogMenu(const LogPanes& panes, bool patrolListsExist, int newCount,
                       bool newBoxChecked) {
  LogMenu menu;
  const bool enabled = patrolListsExist && !panes.Memo_Log.visible;
  menu.replaceEnabled = menu.appendEnabled = menu.newItemEnabled = enabled;
  menu.newItemChecked = newBoxChecked;
  menu.newItemCaption = text::sj("newで置換 (") + std::to_string(newCount) + text::sj("件)  (&N)");
  return menu;
}

}  // namespace zeltaro::views
