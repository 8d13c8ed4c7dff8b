// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/main_layout.h"

namespace zeltaro::views {
namespace {

int fullHeight(const MainLayout& layout, int windowHeight) {
  return windowHeight - layout.captionHeight - 8;
}

}  // namespace

void fitToWindowSize(MainLayout& layout, int windowWidth, int windowHeight, bool config) {
  // The top areas span the client width, as top-aligned panels do.
  layout.Panel1.width = layout.Panel2.width = windowWidth - 8;
  layout.Panel3.width = windowWidth - layout.Panel3.left - 8;
  layout.Panel3.height = windowHeight - layout.Panel3.top - layout.captionHeight - 10;
  layout.Panel4.height = windowHeight - layout.Panel4.top - layout.captionHeight - 10;
  if (!config) layout.Panel1.height = fullHeight(layout, windowHeight);
}

void layOutLogArea(const MainLayout& layout, LogPanes panes) {
  Rect& log = panes.Memo_Log.bounds;
  log.left = kMemoLogDesign.left;
  log.top = kMemoLogDesign.top;
  log.width = layout.Panel1.width - log.left - 6;
  log.height = layout.Panel1.height - log.top - 6;
  for (Pane* p : {&panes.Memo_Log2, &panes.Memo_Log3, &panes.Memo_Log4, &panes.Memo_Log5})
    p->bounds = log;
}

void layOutWatchListArea(MainLayout& layout) {
  for (Rect* r : {&layout.Memo_List1, &layout.Memo_List2, &layout.Memo_List3})
    r->width = layout.Panel3.width - 6;
  layout.Memo_List3.height = layout.Panel3.height - layout.Memo_List3.top - 6;
}

void layOutSettingsArea(MainLayout& layout) {
  layout.Memo_pcre.height = layout.Panel4.height - layout.Memo_pcre.top - 6;
}

void showConfig(MainLayout& layout, bool config, int windowHeight) {
  layout.Panel2Visible = layout.Panel3Visible = layout.Panel4Visible = config;
  layout.Panel1.height = config ? layout.Panel6.height : fullHeight(layout, windowHeight);
}

}  // namespace zeltaro::views
