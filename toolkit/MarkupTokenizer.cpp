#include "MarkupTokenizer.h"

#include <algorithm>
#include <array>

#include "MarkupLimits.h"
#include "MarkupValues.h"

namespace drelin {
namespace {

struct Entity {
  const char* name;
  char16_t replacement[3];
};

// Replacements are the Windows-1252 characters of the original bytes;
// "&lt;" becomes "<<", which the tokenizer reads as one literal "<".
constexpr std::array<Entity, 13> kEntities = {{
    {"&amp;", u"&"},
    {"&bull;", u"\u2022"},
    {"&copy;", u"\u00A9"},
    {"&euro;", u"\u20AC"},
    {"&gt;", u">"},
    {"&iquest;", u"\u00BF"},
    {"&lt;", u"<<"},
    {"&nbsp;", u" "},
    {"&para;", u"\u00B6"},
    {"&pound;", u"\u00A3"},
    {"&quot;", u"\""},
    {"&reg;", u"\u00AE"},
    {"&trade;", u"\u2122"},
}};

bool IsSpace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

}  // namespace

QString PreprocessMarkup(const QString& input, bool newlineMode) {
  QString text = input.left(markup_limits::kMaxTextLength);
  if (text.contains(QLatin1Char('&'))) {
    for (const Entity& entity : kEntities)
      text.replace(QLatin1String(entity.name), QString::fromUtf16(entity.replacement));
  }
  text.remove(QLatin1Char('\r'));
  if (newlineMode) {
    text.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    text.replace(QLatin1Char('\t'), QLatin1String("<t>"));
  } else {
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\t'));
  }
  return text.left(markup_limits::kMaxTextLength);
}

std::vector<MarkupToken> TokenizeMarkup(const QString& text) {
  std::vector<MarkupToken> tokens;
  auto appendText = [&](QStringView run) {
    if (run.isEmpty()) return;
    if (!tokens.empty() && tokens.back().kind == MarkupToken::Kind::Text)
      tokens.back().text += run;
    else
      tokens.push_back({MarkupToken::Kind::Text, run.toString(), {}, {}});
  };
  const qsizetype n = text.size();
  qsizetype pos = 0;
  while (pos < n) {
    const qsizetype lt = text.indexOf(QLatin1Char('<'), pos);
    if (lt < 0) {
      appendText(QStringView(text).mid(pos));
      break;
    }
    appendText(QStringView(text).mid(pos, lt - pos));
    if (lt + 1 < n && text[lt + 1] == QLatin1Char('<')) {
      appendText(u"<");
      pos = lt + 2;
      continue;
    }
    qsizetype gt = text.indexOf(QLatin1Char('>'), lt + 1);
    if (gt < 0) gt = n;
    QStringView body = QStringView(text).mid(lt + 1, gt - lt - 1);
    pos = gt + 1;
    MarkupToken token;
    token.kind = MarkupToken::Kind::Open;
    if (!body.isEmpty() && body.front() == QLatin1Char('/')) {
      token.kind = MarkupToken::Kind::Close;
      body = body.mid(1);
    }
    qsizetype nameEnd = 0;
    while (nameEnd < body.size() && body[nameEnd] != QLatin1Char(' ') &&
           body[nameEnd] != QLatin1Char('='))
      ++nameEnd;
    token.text = body.left(nameEnd).toString();
    token.rest = body.mid(nameEnd).toString();
    qsizetype paramStart = nameEnd;
    while (paramStart < body.size() && body[paramStart] == QLatin1Char(' ')) ++paramStart;
    token.params = body.mid(paramStart).toString();
    tokens.push_back(std::move(token));
  }
  return tokens;
}

QString EscapeMarkup(const QString& text) {
  QString escaped = text;
  escaped.replace(QLatin1Char('<'), QLatin1String("<<"));
  escaped.replace(QLatin1Char('&'), QLatin1String("&<>"));
  return escaped;
}

MarkupAttributes ParseAttributes(const QString& params) {
  MarkupAttributes attributes;
  const qsizetype n = params.size();
  qsizetype pos = 0;
  while (pos < n) {
    while (pos < n && IsSpace(params[pos])) ++pos;
    const qsizetype nameStart = pos;
    while (pos < n && params[pos] != QLatin1Char('=') && !IsSpace(params[pos])) ++pos;
    QString name = params.mid(nameStart, pos - nameStart).toLower();
    while (pos < n && IsSpace(params[pos])) ++pos;
    QString value;
    if (pos < n && params[pos] == QLatin1Char('=')) {
      ++pos;
      while (pos < n && IsSpace(params[pos])) ++pos;
      if (pos < n && (params[pos] == QLatin1Char('"') || params[pos] == QLatin1Char('\''))) {
        const QChar quote = params[pos++];
        const qsizetype valueStart = pos;
        while (pos < n && params[pos] != quote) ++pos;
        value = params.mid(valueStart, pos - valueStart);
        if (pos < n) ++pos;
      } else {
        const qsizetype valueStart = pos;
        while (pos < n && !IsSpace(params[pos])) ++pos;
        value = params.mid(valueStart, pos - valueStart);
      }
    }
    if (!name.isEmpty()) attributes.emplace_back(std::move(name), std::move(value));
    else if (pos < n && !IsSpace(params[pos])) ++pos;  // a stray "=": skip it
  }
  return attributes;
}

const QString* FindAttribute(const MarkupAttributes& attributes, const char* name) {
  for (const auto& [key, value] : attributes)
    if (key == QLatin1String(name)) return &value;
  return nullptr;
}

int ParseTagCount(const QString& rest, int limit) {
  if (rest.isEmpty()) return 1;
  const std::optional<long long> count = ParseNumber(rest.mid(1));
  if (!count || *count < 1) return 1;
  return static_cast<int>(std::min<long long>(*count, limit));
}

}  // namespace drelin
