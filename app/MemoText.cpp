#include "app/MemoText.h"

#include <QTextCursor>
#include <QTextEdit>

namespace uroflow {

void setMemoText(QTextEdit* memo, const QString& text) {
    memo->setPlainText(text);
    // setPlainText resets the paragraph format; centre the whole text again.
    QTextCursor cursor(memo->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(format);
}

}  // namespace uroflow
