#pragma once

#include <QString>

class DiscTree;

namespace skin {

// The four skin folders under resourFolder ("G6" and "G8", each "AnyPal" and "WinPal"):
// controls.bmr, the panel animations and the advertisements.
void WriteSkinSets(DiscTree& disc, const QString& resourFolder);

// The explorer's container "RARez.bmr" into resourFolder.
void WriteExplorerSkin(DiscTree& disc, const QString& resourFolder);

}  // namespace skin
