// Chinese for the texts of Qt's file dialogs that Qt's own Chinese catalogue lacks: the
// type column names folders in a context the catalogue does not have.
#pragma once

#include <QTranslator>

namespace tessimar {

class QtTextSupplement : public QTranslator {
 public:
  using QTranslator::QTranslator;

  QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                    int n = -1) const override;
  bool isEmpty() const override { return false; }
};

}  // namespace tessimar
