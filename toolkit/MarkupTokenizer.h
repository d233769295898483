// MarkupTokenizer: turns a message text into the tokens the layout walks.
// Preprocessing replaces the entities, drops carriage returns and turns
// line feeds and tabs into <br> and <t> (or drops them); tokenizing splits
// the result into text runs and tags, "<<" being a literal "<".
#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace drelin {

struct MarkupToken {
  enum class Kind { Text, Open, Close };
  Kind kind = Kind::Text;
  QString text;    // the run of a Text token; the tag name of a tag
  QString params;  // a tag's parameter text, leading spaces removed
  QString rest;    // a tag's text after its name, as written
};

// Whether `token` is the opening (closing) tag called `name`.
inline bool IsOpenTag(const MarkupToken& token, const char* name) {
  return token.kind == MarkupToken::Kind::Open && token.text == QLatin1String(name);
}
inline bool IsCloseTag(const MarkupToken& token, const char* name) {
  return token.kind == MarkupToken::Kind::Close && token.text == QLatin1String(name);
}

// Entities replaced in alphabetical order over the whole text, then
// carriage returns removed and line feeds and tabs handled by the newline
// mode. The result is at most markup_limits::kMaxTextLength long.
QString PreprocessMarkup(const QString& text, bool newlineMode);

std::vector<MarkupToken> TokenizeMarkup(const QString& text);

// `text` made safe to show as markup: every character shows as itself
// ("<" doubled; "&" followed by an empty tag, so no entity can form).
// Line feeds and tabs keep their newline-mode meaning.
QString EscapeMarkup(const QString& text);

// A tag's attributes in order: name=value pairs separated by spaces,
// values optionally in double or single quotes. Names are lower-cased.
using MarkupAttributes = std::vector<std::pair<QString, QString>>;
MarkupAttributes ParseAttributes(const QString& params);

// The value of the first attribute called `name`; null when absent.
const QString* FindAttribute(const MarkupAttributes& attributes, const char* name);

// The count of a <br> or <t>: the text after the name less its first
// character; 1 when absent or unreadable, at most `limit`.
int ParseTagCount(const QString& rest, int limit);

}  // namespace drelin
