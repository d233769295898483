#include "MarkupTags.h"

#include <array>

namespace drelin {
namespace {

struct NamedTag {
  const char* name;
  TagInfo info;
};

constexpr std::array<NamedTag, 41> kTags = {{
    {"b", {TagKind::Bold, "bold", 0}},
    {"i", {TagKind::Italic, "italic", 0}},
    {"em", {TagKind::Italic, "italic", 0}},
    {"u", {TagKind::Underline, "underline", 0}},
    {"s", {TagKind::Strikeout, "strikeout", 0}},
    {"strike", {TagKind::Strikeout, "strikeout", 0}},
    {"font", {TagKind::Font, "font", 0}},
    {"hr", {TagKind::Rule, "", 0}},
    {"br", {TagKind::Break, "", 0}},
    {"t", {TagKind::Tab, "", 0}},
    {"left", {TagKind::HAlign, "left", 0}},
    {"center", {TagKind::HAlign, "center", 1}},
    {"right", {TagKind::HAlign, "right", 2}},
    {"justify", {TagKind::HAlign, "justify", 3}},
    {"baseline", {TagKind::VAlign, "baseline", 3}},
    {"top", {TagKind::VAlign, "top", 0}},
    {"vcenter", {TagKind::VAlign, "vcenter", 1}},
    {"middle", {TagKind::VAlign, "vcenter", 1}},
    {"bottom", {TagKind::VAlign, "vcenter", 2}},
    {"bmp", {TagKind::Bitmap, "", 0}},
    {"icon", {TagKind::Icon, "", 0}},
    {"ilst", {TagKind::ImageList, "", 0}},
    {"string", {TagKind::String, "", 0}},
    {"body", {TagKind::StyledBlock, "body", 0}},
    {"h1", {TagKind::StyledBlock, "h1", 0}},
    {"h2", {TagKind::StyledBlock, "h2", 0}},
    {"h3", {TagKind::StyledBlock, "h3", 0}},
    {"h4", {TagKind::StyledBlock, "h4", 0}},
    {"h5", {TagKind::StyledBlock, "h5", 0}},
    {"h6", {TagKind::StyledBlock, "h6", 0}},
    {"code", {TagKind::StyledBlock, "code", 0}},
    {"pre", {TagKind::StyledBlock, "pre", 0}},
    {"big", {TagKind::StyledBlock, "big", 0}},
    {"small", {TagKind::StyledBlock, "small", 0}},
    {"sub", {TagKind::StyledBlock, "sub", 0}},
    {"sup", {TagKind::StyledBlock, "sup", 0}},
    {"span", {TagKind::Span, "span", 0}},
    {"a", {TagKind::Link, "link", 0}},
    {"table", {TagKind::Table, "", 0}},
    {"tr", {TagKind::Row, "", 0}},
    {"td", {TagKind::Cell, "", 0}},
}};

}  // namespace

const TagInfo* FindTag(const QString& name) {
  for (const NamedTag& tag : kTags)
    if (name == QLatin1String(tag.name)) return &tag.info;
  return nullptr;
}

}  // namespace drelin
