#pragma once
// The memo fields show one centred line.

class QString;
class QTextEdit;

namespace uroflow {

void setMemoText(QTextEdit* memo, const QString& text);

}  // namespace uroflow
