// MarkupStyleSheet: the CSS-like style sheet of a drawer (selector to
// declarations) and the interpretation of declarations into the text state.
#pragma once

#include <QString>

#include <map>

#include "ColorRef.h"
#include "MarkupColors.h"
#include "MarkupTextState.h"
#include "MarkupValues.h"

namespace drelin {

class MarkupStyleSheet {
 public:
  // The sheet every drawer starts with (body text in Verdana 10 pt, black).
  static QString DefaultText();

  MarkupStyleSheet() { Set(DefaultText()); }

  // Replaces all styles by the rules of `text`: "selector {name: value; ...}".
  void Set(const QString& text);

  // Declarations of `selector` ("b", ".class", "a:hover"), or null.
  const QString* Find(const QString& selector) const;

 private:
  std::map<QString, QString> styles_;
};

// What interpreting a value needs besides the state itself.
struct StyleContext {
  const MarkupColorTable* colors = nullptr;
  bool colorsEnabled = true;
  ColorRef disabledColor;
  LengthContext lengths;
};

// A colour value as the drawer's settings make it (the disabled colour
// whenever colours are off and a colour is given).
ColorRef ResolveColor(const QString& value, ColorRef current, const StyleContext& context);

// Applies one property; unknown properties and unreadable values keep the
// state as it is.
void ApplyProperty(const QString& name, const QString& value, MarkupTextState& state,
                   const StyleContext& context);

// Applies "name: value; ..." declarations in order.
void ApplyDeclarations(const QString& declarations, MarkupTextState& state,
                       const StyleContext& context);

}  // namespace drelin
