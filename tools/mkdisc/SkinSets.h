#pragma once

#include <QString>

class DiscTree;

namespace skin {

// One skin size under resourFolder ("G6" at scale 0.8 or "G8" at 1.0), in both its folders
// "AnyPal" (true colour) and "WinPal" (8-bit, shared palette): controls.bmr, the panel
// animations and the advertisements. Safe to run for both sizes at once.
void WriteSkinSet(DiscTree& disc, const QString& resourFolder, const QString& sizeFolder,
                  double scale);

// The explorer's container "RARez.bmr" into resourFolder.
void WriteExplorerSkin(DiscTree& disc, const QString& resourFolder);

}  // namespace skin
