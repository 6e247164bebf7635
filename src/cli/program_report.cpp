#include "cli/program_report.h"

#include <ctime>

#include "files/platform_files.h"
#include "model/pin_list.h"

namespace vrx::cli {
namespace {

std::string todayText() {
    const std::tm local = platform::localTimeNow();
    char text[16] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

}  // namespace

const std::vector<std::string>& reportFormats() {
    static const std::vector<std::string> formats = {"text", "csv", "html", "markdown"};
    return formats;
}

std::string programReport(const ProgramData& data, const NameList& instruments, bool allPins,
                          const std::string& format, const std::string& title) {
    const PinListSheet sheet = pinListSheet(data, instruments, allPins, title, todayText());
    if (format == "csv") {
        return renderPinListCsv(sheet);
    }
    if (format == "html") {
        return renderPinListHtml(sheet);
    }
    if (format == "markdown") {
        return renderPinListMarkdown(sheet);
    }
    return renderPinListText(sheet);
}

}  // namespace vrx::cli
