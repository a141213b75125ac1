// Opens the contact file of a program folder as the program does at startup (creating or
// upgrading it, an old Access file too, read by the reader the build made), then prints the
// text of each message the program would show. Scripts use it to stop an upgrade at random
// moments in a process of its own.
#include "platform/Prompter.h"
#include "shell/StoreMessages.h"
#include "store/ContactDatabase.h"
#include "store/Startup.h"

#include <cstdio>

namespace {

class PrintingPrompter final : public platform::Prompter {
public:
    platform::Answer ask(const platform::Message& message) override {
        std::printf("%s\n", message.text.toUtf8().constData());
        std::fflush(stdout);
        return platform::Answer::Ok;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROGRAM-FOLDER\n", argv[0]);
        return 2;
    }
    PrintingPrompter prompter;
    store::ContactDatabase db;
    store::StartupContext cx{db, QString::fromLocal8Bit(argv[1]) + u'/'};
    cx.jetReader = QStringLiteral(JET_READER);
    const store::StartupOutcome outcome = store::OpenContactDatabase(cx);
    db.close();
    shell::tellStartup(prompter, outcome.notices, QStringLiteral("Orvenna"),
                       QStringLiteral("\r\n"));
    return outcome.result == store::StartupResult::Continue ? 0 : 1;
}
