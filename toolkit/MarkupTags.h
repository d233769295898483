// MarkupTags: the fixed table of tags the markup language knows, with the
// kind of each and the stack label its state copy carries. A closing tag
// pops the state only when its label matches the one on top, so </i> also
// closes <em>.
#pragma once

#include <QString>

namespace drelin {

enum class TagKind {
  Bold, Italic, Underline, Strikeout, Font, Rule, Break, Tab, HAlign, VAlign,
  Bitmap, Icon, ImageList, String, StyledBlock, Span, Link, Table, Row, Cell,
};

struct TagInfo {
  TagKind kind;
  const char* label;  // empty for tags that are not containers
  int value;          // alignment number of the alignment tags
};

// The tag named exactly `name` (lower case), or null when unknown.
const TagInfo* FindTag(const QString& name);

inline bool IsContainer(const TagInfo& tag) { return tag.label[0] != '\0'; }

}  // namespace drelin
