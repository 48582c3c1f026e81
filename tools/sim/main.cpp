// encoder-sim: the simulator as a program of its own, for trying the setup tool by hand.
// Prints the device to open, answers until killed and logs every command to stderr.

#include "sim/EncoderSim.h"

#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char* const Usage =
    "usage: encoder-sim [--mode tap|quillmar|comp1|comp2|pet|silent] [--baud N] [--db file.PG7] [--pace N]\n";

// Control characters spelled out, so a log line stays one line.
QByteArray visible(const QByteArray& bytes) {
    static const char* const names[32] = {"NUL", "SOH", "STX", "ETX",  "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "HT",  "LF",  "VT",   "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "XOFF", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC",  "FS",  "GS",  "RS",  "US"};
    QByteArray out;
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32)
            out += QByteArray("<") + names[code] + ">";
        else
            out += c;
    }
    return out;
}

std::optional<int> number(const char* text) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < 0 || n > 4'000'000)
        return std::nullopt;
    return int(n);
}

} // namespace

int main(int argc, char** argv) {
    std::optional<sim::Mode> mode = sim::Mode::Tap;
    int baud = 0;
    int pace = 0;
    QByteArray database;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) {
            std::fputs(Usage, stderr);
            return 2;
        }
        ++i;
        if (arg == "--mode") {
            mode = sim::modeFromName(value);
        } else if (arg == "--baud" || arg == "--pace") {
            const auto n = number(value);
            if (!n) {
                std::fputs(Usage, stderr);
                return 2;
            }
            (arg == "--baud" ? baud : pace) = *n;
        } else if (arg == "--db") {
            QFile file(QFile::decodeName(value));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "encoder-sim: cannot read %s\n", value);
                return 1;
            }
            database = file.readAll();
        } else {
            std::fputs(Usage, stderr);
            return 2;
        }
        if (!mode) {
            std::fputs(Usage, stderr);
            return 2;
        }
    }

    // Wait for the end signals synchronously; the simulator's thread must not take them.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    sim::EncoderSim encoder;
    if (!encoder.isRunning()) {
        std::fprintf(stderr, "encoder-sim: %s\n", qPrintable(encoder.errorString()));
        return 1;
    }
    encoder.setMode(*mode);
    encoder.setAnswerOnlyAtBaud(baud);
    encoder.setPace(pace);
    if (!database.isEmpty())
        encoder.loadDatabaseFile(database);
    encoder.setCommandLog([](const sim::Exchange& e) {
        std::fprintf(stderr, "%s  ->  %s\n", visible(e.command).constData(), visible(e.reply).constData());
    });

    std::printf("%s\n", qPrintable(encoder.slavePath()));
    std::fflush(stdout);
    int signal = 0;
    sigwait(&endSignals, &signal);
    return 0;
}
