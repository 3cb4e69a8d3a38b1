// The pictures of the navigator buttons (DBN_FIRST ... DBN_REFRESH), drawn by our own
// code at whatever size a button needs: dark shapes on an enabled button, a grey shape
// over a white shadow on a disabled one.
#pragma once

#include <QIcon>

#include "TDBNavigator.h"

namespace dbf {

// The picture of `button`, with its enabled (QIcon::Normal, Active, Selected) and
// disabled (QIcon::Disabled) looks.
QIcon NavButtonIcon(TNavigateBtn button);

}  // namespace dbf
