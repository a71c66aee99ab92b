#pragma once
// The archive's settings: the embedded archive or a clinic's server, a connection test and
// where the archive lives. Only controls: the main window's handlers act on them.

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace uroflow {

class ArchiveSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ArchiveSettingsDialog(QWidget* parent);

    QRadioButton* Embedded = nullptr;
    QRadioButton* Server = nullptr;
    QLineEdit* Url = nullptr;  // enabled with Server
    QPushButton* TestConnection = nullptr;
    QLabel* Location = nullptr;  // where the archive chosen lives
    QLabel* Result = nullptr;    // what the connection test found
    QDialogButtonBox* Buttons = nullptr;
};

}  // namespace uroflow
