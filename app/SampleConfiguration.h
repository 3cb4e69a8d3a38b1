// The sample configuration that the configuration editor offers for a new file (the text
// of its hidden box Memo2): a heading and the nine values, each followed by its comment.
#pragma once

#include <QString>

// 13 lines, each ended by a line break.
QString SampleConfigurationText();
