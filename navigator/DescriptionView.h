#pragma once

// The description page of a demo: the description wrapped into the list's lines, the title
// block above it and the screenshot box beside it.

#include "navigator/ViewContext.h"

class ListView;
class Viewer;

class DescriptionView {
 public:
  DescriptionView(ViewContext& context, ListView& list, Viewer& viewer);

  // Formats and shows the page of DescribedEntry in description mode; entering does the full
  // set-up, otherwise only the title block is drawn again.
  void ShowDescription(int mode, bool entering);
  // The title (right-aligned, aqua outlined in blue) and the subtitle (white) on pbMain; a
  // title that wraps fills both lines and the subtitle is not shown.
  void DrawTitleBlock();

 private:
  ViewContext& ctx_;
  ListView& list_;
  Viewer& viewer_;
};
