// Parsing of the window program's command line.

#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace uroflow {

const char kCommandLineUsage[] =
    "usage: uroflow [--demo] [FILE]\n"
    "       uroflow --day-report OUT.pdf [--night HH:MM-HH:MM] FILE\n"
    "       uroflow --help | --version\n";

namespace {

// Every option is named once, here; the parser and the help both take them from this list.
struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the program's version and exit.")};
    QCommandLineOption demo{QStringLiteral("demo"),
                            QStringLiteral("Open the window with a simulated uroflowmeter, plugged "
                                           "in and holding the demo day, in place of the USB "
                                           "reader.")};
    QCommandLineOption dayReport{QStringLiteral("day-report"),
                                 QStringLiteral("Write the day report of FILE to OUT.pdf and "
                                                "exit, without a window."),
                                 QStringLiteral("OUT.pdf")};
    QCommandLineOption night{QStringLiteral("night"),
                             QStringLiteral("With --day-report: the night of the day's summary "
                                            "(23:00-07:00 unless given)."),
                             QStringLiteral("HH:MM-HH:MM")};
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("Uroflowmetry: downloads a day of voidings from the uroflowmeter through "
                       "its USB reader, shows each voiding's uroflowgram and indices, places the "
                       "day on the nomograms, prints it and keeps it in study files."));
    parser.addOptions(
        {options.help, options.version, options.demo, options.dayReport, options.night});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A study file (.txt) to open, or to report on "
                                                "with --day-report."),
                                 QStringLiteral("[FILE]"));
}

// The parser works on text; Latin-1 gives every byte a character of its own, so the
// names come back unchanged (a lossy UTF-8 decoding would make "\xff" a different name).
QString carried(const char* argument) {
    return QString::fromLatin1(argument);
}
std::string bytes(const QString& carriedText) {
    return carriedText.toLatin1().toStdString();
}

CommandLine refuse(std::string why) {
    CommandLine refused;
    refused.action = CommandLine::Action::Refuse;
    refused.error = std::move(why);
    return refused;
}

}  // namespace

CommandLine parseCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << carried(argv[i]);
    const Options options;
    QCommandLineParser parser;
    describe(parser, options);
    // The parser's own messages are plain English with the argument in it: back to bytes.
    if (!parser.parse(arguments)) return refuse(bytes(parser.errorText()));

    CommandLine command;
    if (parser.isSet(options.help)) {
        command.action = CommandLine::Action::ShowHelp;
        return command;
    }
    if (parser.isSet(options.version)) {
        command.action = CommandLine::Action::ShowVersion;
        return command;
    }
    for (const QCommandLineOption* once : {&options.dayReport, &options.night}) {
        if (parser.values(*once).size() > 1) {
            return refuse("--" + bytes(once->names().constFirst()) + " is given more than once");
        }
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return refuse("only one study file may be given");
    if (!files.isEmpty()) {
        if (files.constFirst().isEmpty()) return refuse("the study file's name is empty");
        command.studyFile = bytes(files.constFirst());
    }
    command.demo = parser.isSet(options.demo);

    if (!parser.isSet(options.dayReport)) {
        if (parser.isSet(options.night)) return refuse("--night goes with --day-report");
        return command;
    }
    command.action = CommandLine::Action::DayReport;
    command.reportFile = bytes(parser.value(options.dayReport));
    if (command.demo) return refuse("--demo opens the window; --day-report writes without one");
    if (command.reportFile.empty()) return refuse("the report's file name is empty");
    if (command.studyFile.empty()) return refuse("--day-report needs the study file FILE");
    if (parser.isSet(options.night)) {
        const std::string text = bytes(parser.value(options.night));
        const auto night = parseNightWindow(text);
        if (!night) {
            return refuse("the night must be given as HH:MM-HH:MM with two different times, not '" +
                          text + "'");
        }
        command.night = *night;
    }
    return command;
}

QString commandLineHelp() {
    const Options options;
    QCommandLineParser parser;
    describe(parser, options);
    // The parser's usage line names "<executable_name>" without an application object;
    // the program's own usage lines replace it.
    QString generated = parser.helpText();
    generated.remove(0, generated.indexOf(QLatin1Char('\n')) + 1);
    return QString::fromLatin1(kCommandLineUsage) + generated;
}

}  // namespace uroflow
