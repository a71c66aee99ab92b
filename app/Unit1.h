#pragma once
// The main window: every control, the window-wide state and the handlers.
// Construction, layout and start/end live in app/Unit1.cpp; each subsystem
// defines its handlers in its own folder.

#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/Platform.h"
#include "archive/Archive.h"
#include "archive/Patients.h"
#include "charts/ChartSetup.h"
#include "day/Day.h"
#include "nomogram/NomogramCurves.h"
#include "reader/HidLayer.h"
#include "reader/Protocol.h"
#include "reader/Transfer.h"
#include "study/Decoder.h"
#include "study/Image.h"
#include "study/Passport.h"
#include "study/StudyScan.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QPicture;
class QTimer;
class QAction;
class QContextMenuEvent;
class QMenu;
class QKeyEvent;
class QColor;

namespace uroflow {

struct FileDialogSpec;
class ArchiveSettingsDialog;
class PatientArchiveDialog;
class TChartView;
class TFormWaitExcel;
class TShape;

// The window shows one Day: a handler reads controls, calls the day, writes controls.
class TTMForm : public QWidget {
    Q_OBJECT

  public:
    explicit TTMForm(const Platform& platform, QWidget* parent = nullptr);
    ~TTMForm() override;

    // Every handler is entered through this guard: a runtime error ends the
    // handler, its text goes to the general error box, nothing escapes to Qt.
    void guard(const std::function<void()>& handler);
    // A slot for connect() that enters `handler` through the guard.
    std::function<void()> guarded(void (TTMForm::*handler)());

    // Start and end.
    void FormCreate();
    void FormDestroy();

    // Passport fields and the drawing of the current study.
    void Edit_byteArray();
    void Graf_byteArray(int npr);

    // Study navigation and views.
    void PrevClick();
    void NextClick();
    void VTClick();
    void QVClick();
    void ZoomResetClick();

    // Study file.
    void SaveFileDataClick();
    void LoadFileClick();
    // Loads `path` as LoadFileClick does after a confirmed dialog (file given on
    // the command line).
    void LoadFileNamed(const std::string& path);
    // Writes the samples of the image to an Excel workbook.
    void ExportExcel(const QString& path);
    // Ctrl+E: the save dialog of "В файл" with the workbook type chosen.
    void ExcelExportClick();
    // The wait window the export shows in place of this one, made by main after it.
    void useWaitWindow(TFormWaitExcel& waitWindow);

    // The day on the nomogram, leaving the study shown out, and an archived day.
    void NomogramClick();
    void EnNomClick();
    void NomSClick();

    // Printing the window.
    void PrintNomogramClick();
    // The client area with its visible controls as they are, as vector drawing.
    QPicture windowPicture();

    // The day report: the day on screen on one PDF page (more after ten voidings).
    void DayReportClick();

    // The patient archive: every completed download and file load is kept at once; the
    // window "Архив пациентов" (Ctrl+F) finds, opens, compares and follows kept days.
    void PatientArchiveClick();
    void ArchiveSearchChange();
    void ArchivePatientChange();
    void ArchiveOpenClick();
    void ArchiveCompareClick();
    // Its settings: the embedded archive or a server, kept in rdp.ini.
    void ArchiveSettingsClick();
    void ArchiveSettingsKindClick();
    void ArchiveSettingsTestClick();
    void ArchiveSettingsAccept();

    // Reader link: discovery, download and the commands to the uroflowmeter.
    void HIDDeviceChange();
    bool HIDEnumerate(HidDevice& HidDev, int Idx);
    // `ReadNumber`: the report's place among those read from the reader.
    void HIDDeviceData(HidDevice& HidDev, std::uint8_t ReportID, const std::uint8_t* Data,
                       std::uint16_t Size, std::uint64_t ReadNumber);
    void Click_code(int cod);
    void ReadDataClick();
    void WriteDataClick();
    void WriteDataSRAM();
    void Set_Edit();
    void EraseDataClick();
    void CalibrClick();
    void WriteDataCalibr();
    // Abandons a transfer the reader has stopped answering.
    void TransferTimerTimer();

    // Keyboard: the calibration chord and the age field.
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    // Key is set to 0 to refuse the character, or replaced.
    void OldKeyPress(QLineEdit* Sender, QChar& Key);
    void OldKeyUp(QLineEdit* Sender, int Key, Qt::KeyboardModifiers Shift);

    // The artefact threshold as the decoder takes it: the integer value of Npor.
    int nporValue() const;

    // Controls switched together, named once.
    std::array<TChartView*, 7> allCharts() const;
    std::array<TChartView*, 5> nomogramCharts() const;
    // The commands that need a day on screen: enabled by drawing and loading.
    std::array<QWidget*, 7> studyCommands() const;
    // The index fields, in the order of kIndexFields.
    std::array<QLineEdit*, 8> indexEdits() const;
    // Stepping through the day.
    std::array<QWidget*, 2> studyNavigation() const;
    // The commands that start a transfer or replace the day: off while one runs.
    std::array<QWidget*, 3> transferCommands() const;
    // Hidden while the window is printed, in this order, and shown again after.
    std::array<QWidget*, 21> printHiddenControls() const;

    // ---- Controls (named as in the window definition) ----
    // Background panels.
    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    TShape* Shape3 = nullptr;
    TShape* Shape4 = nullptr;
    TShape* Shape5 = nullptr;
    TShape* Shape6 = nullptr;

    // Top bar: passport data.
    QLabel* LabelData = nullptr;
    QLineEdit* DataStart = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* Name = nullptr;
    QLabel* Label17 = nullptr;
    QRadioButton* sexM = nullptr;
    QRadioButton* sexF = nullptr;
    QLabel* Label18 = nullptr;
    QLineEdit* Old = nullptr;
    QPushButton* WriteData = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* VName = nullptr;

    // Left column: indices.
    QLabel* Label19 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Twait = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* TQmax = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* FlowTime = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Ttotal = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Qave = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Qmax = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* VQmax = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Vml = nullptr;
    std::array<QLabel*, 8> unitLabels{};  // "сек", "мл/сек", "мл" beside the values

    // Left bottom: study navigation.
    QLabel* Label11 = nullptr;
    QLabel* Image1 = nullptr;
    QLineEdit* Tstart = nullptr;
    QTextEdit* Mst = nullptr;
    QLabel* Label12 = nullptr;
    QTextEdit* Mnt = nullptr;
    QPushButton* Prev = nullptr;
    QCheckBox* EnNom = nullptr;
    QPushButton* Next = nullptr;

    // Chart area: the seven views and their series (ChartGraf, Series1, ChartNomWoman...),
    // declared once in ChartViews; the archive caption lies on them.
    ChartViews charts;
    QLineEdit* DateArj = nullptr;

    // Bottom bar.
    QPushButton* VT = nullptr;
    QPushButton* QV = nullptr;
    QPushButton* Nomogram = nullptr;
    QPushButton* NomS = nullptr;
    QPushButton* PrintNomogram = nullptr;
    QPushButton* ZoomReset = nullptr;
    QPushButton* SaveFileData = nullptr;
    QPushButton* LoadFile = nullptr;
    QPushButton* Calibr = nullptr;
    QLineEdit* Edit_Calibr = nullptr;
    QPushButton* EraseData = nullptr;
    QLineEdit* Ur = nullptr;
    QLabel* LabelUro = nullptr;
    QPushButton* ReadData = nullptr;

    // Auxiliary controls.
    QLineEdit* Fokys = nullptr;
    QLineEdit* EditBuffer = nullptr;
    QLineEdit* Npor = nullptr;
    QLineEdit* TimeNow = nullptr;
    // Runs while a command is pending: a reader silent for too long is given up.
    QTimer* TransferTimer = nullptr;
    // The day report, with Ctrl+D and from the bottom bar's context menu; enabled
    // exactly when SaveFileData is.
    QAction* DayReportAction = nullptr;
    QMenu* BottomBarMenu = nullptr;
    // The keys of the buttons (PgUp, PgDn, Ctrl+O, Ctrl+S, Ctrl+P) and Ctrl+E, usable
    // exactly while their button is.
    QAction* PrevAction = nullptr;
    QAction* NextAction = nullptr;
    QAction* LoadFileAction = nullptr;
    QAction* SaveFileAction = nullptr;
    QAction* PrintAction = nullptr;
    QAction* ExcelAction = nullptr;
    // The patient archive (Ctrl+F) and its settings, in the same menu; their windows
    // exist once opened.
    QAction* PatientArchiveAction = nullptr;
    QAction* ArchiveSettingsAction = nullptr;
    QPointer<PatientArchiveDialog> PatientArchive;
    QPointer<ArchiveSettingsDialog> ArchiveSettings;

    // ---- Window-wide state ----
    HidDevice* ReaderDevice = nullptr;  // the claimed reader, none until found
    bool ReaderFound = false;
    bool WriteOK = false;
    // Age and date characters of the passport command, taken by Set_Edit.
    PassportStage StagedPassport{};
    bool ReceiveStudies = false;
    bool ReceivePassport = false;

    // The day shown.
    const Day& day() const { return *day_; }
    // The receiving side of the reader link: the report last sent, the blocks counted.
    const Transfer& transfer() const { return transfer_; }

  protected:
    // Key preview: the window sees every key of its controls first.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The bottom bar's context menu.
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // What the end of a file load and the end of a download do with the new image.
    struct LoadSteps {
        ScanVariant scan = kFileScan;
        bool passport = true;  // fill the passport fields from the image
        bool studies = true;   // scan it, show the count, draw the first study
        // A download shows the count only when studies were found and the battery
        // state before the drawing; a file load enables the study commands after it.
        bool download = false;
    };

    void buildControls();
    void setUpDayReport();
    // The keys and their entries in the bottom bar's menu.
    void setUpShortcuts();
    // "В файл" with the dialog given: a study file or a workbook, by the name chosen.
    void saveDay(const FileDialogSpec& dialog);
    void setUpArchive();
    QRect bottomBar() const;
    void showDecodeResult(const DecodeResult& result);
    void clearIndexFields();
    // The standard analysis of the study on screen as the unit labels' tool tip.
    void showStandardAnalysis(const DecodeResult& result);
    void resetViewForLoad();
    // The common end of a file load and a download: passport fields, the scan of
    // the new image, the study count, the battery state and the first study drawn.
    void showLoadedImage(const LoadSteps& steps);
    void showBatteryState();
    void leaveNomogram();
    // The age field's whole years; empty after the age message when it is empty.
    std::optional<int> nomogramAge();
    // An archived day is on screen beside this one on the nomogram.
    bool archiveOnScreen() const;
    std::optional<Sex> patientSex() const;
    TChartView* nomogramView(NomogramKind kind) const;
    QString archiveDate() const;
    // Shows the chart of the patient's sex and age and adds the included studies
    // (current day yellow, an archive's black, with the archive date in their tips).
    void placeNomogramPoints(const std::vector<NomogramPoint>& points, int age,
                             const std::optional<QString>& archive);
    void showUroflowgram(bool flowTime);
    // A day to compare becomes ArchiveImage, its date shown in DateArj.
    void holdArchiveDay(const Image& day);
    // The archived day in ArchiveImage evaluated and placed beside the current day.
    void placeArchiveDay();

    // Patient archive.
    Archive& archive();
    // Keeps the day now in the window once the handler has ended, so a day whose drawing
    // fails is kept too.
    void keepLater(KeepSource source, const QString& fileName);
    void keepPending();
    std::optional<qint64> chosenArchiveDay() const;
    const Patient* chosenPatient() const;

    // Reader link.
    void sendOutReport();
    void endOfTransfer();
    void abandonTransfer();
    // The transfer commands while an answer arrives (running) and at rest.
    void setTransferRunning(bool running);
    // The day on screen is no longer the image's: its commands go off.
    void withdrawDay();
    void showReaderCommands();
    void reportUnclaimedReader();
    void setTransferColour(bool transfer);
    void setUrColour(const QColor& colour);
    std::int64_t steadyMs() const;
    bool filterOldKeyPress(QKeyEvent* key);

    Platform platform_;
    // A reader the last enumeration listed but could not claim.
    std::optional<Claim> unclaimedReader_;
    // The user was told about it once for this plug-in.
    bool readerAccessWarned_ = false;
    bool transferColour_ = false;
    // The typed-length limit of the age field; the "0" put in front of a
    // separator may go past it.
    int oldTypedLimit_ = 0;
    // A key event seen on its way up from a control to its parents.
    const QEvent* previewedEvent_ = nullptr;
    int previewedType_ = 0;
    QPointer<QWidget> previewedWidget_;
    std::uint64_t previewedTimestamp_ = 0;
    QPointer<TFormWaitExcel> waitWindow_;

    std::unique_ptr<Day> day_ = std::make_unique<Day>();
    Transfer transfer_;
    // The blocks of the transfer under way; the day takes them when it ends, so a broken
    // transfer leaves the day as it was.
    std::unique_ptr<Image> received_ = std::make_unique<Image>();
    // The archive of the settings, connected on first use and again after a failure.
    std::unique_ptr<Archive> archive_;
    // Days not kept yet: tried again, oldest first, at the next keep.
    struct PendingKeep {
        std::unique_ptr<Image> image;
        KeepSource source = KeepSource::File;
        QString fileName;
        QString doctor;
    };
    std::vector<PendingKeep> pendingKeeps_;
    // The patients the archive window lists, in its rows' order.
    std::vector<Patient> archivePatients_;
};

}  // namespace uroflow
