#pragma once
// Placeholders in folder texts: "%TOKEN%" stands for a place that differs from device to
// device (the Windows folder, a storage card, a folder written in a registry value). A token
// is the text between two "%" characters; text outside tokens is copied unchanged, and a "%"
// without a closing partner makes the rest of the text the token.

#include <QString>

namespace collect {

// Gives the value of one token.
class IPlaceholderExpander {
 public:
  virtual ~IPlaceholderExpander() = default;
  // The value of strToken (the text between the two "%", without them); false when the token
  // has no value.
  virtual bool ExpandToken(const QString& strToken, QString* pstrValue) = 0;
};

// strText with every token (and its two "%") replaced by the expander's value. When a token
// fails the scan stops, *pstrResult is empty and false is returned, so that a folder with an
// unknown place never names some other folder. Where a token's value meets a "\" on either
// side with a "\" of its own, one of the two is kept ("\%WINDOWS%\Temp" is "\Windows\Temp").
// A null expander drops the tokens.
bool ExpandPlaceholders(const QString& strText, IPlaceholderExpander* pExpander,
                        QString* pstrResult);

}  // namespace collect
