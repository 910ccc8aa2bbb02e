#include "file_lists.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "format.h"
#include "messages.h"
#include "platform.h"
#include "selection_list_file.h"
#include "user_messages.h"
#include "utf8.h"

namespace varkel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One UTF-8 sequence at bytes[at]: its length, with its code point in c, or 0
// when none starts there. Only shortest forms up to U+10FFFF count; surrogate
// code points (ED A0..BF ..) do, see FileListText.
std::size_t decodeSequence(std::string_view bytes, std::size_t at, char32_t& c) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char secondLow = 0x80;  // the second byte's range excludes the longer forms and beyond U+10FFFF
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0Fu;
        if (lead == 0xE0) secondLow = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07u;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        const bool fits = k == 1 ? next >= secondLow && next <= secondHigh : (next & 0xC0u) == 0x80u;
        if (!fits) return 0;
        c = (c << 6) | (next & 0x3Fu);
    }
    return length;
}

bool decodeLine(std::string_view raw, WideString& line) {
    for (std::size_t at = 0; at < raw.size();) {
        char32_t c = 0;
        std::size_t length = decodeSequence(raw, at, c);
        if (length == 0) return false;
        appendUtf16(line, c);
        at += length;
    }
    return true;
}

[[noreturn]] void failToRead(LaunchContext& ctx, const char16_t* format, const WideString& name) {
    WideString reason = lastErrorText();  // first: any later system call may change the error
    showFatalError(ctx, formatMessage(format, {platform::fullPathName(name), reason}), kExitStartupFailure);
}

std::vector<WideString> readList(LaunchContext& ctx, const WideString& name) {
    std::string bytes;
    switch (platform::readWholeFile(name, bytes)) {
        case platform::FileReadStatus::openFailed: failToRead(ctx, text::kUnableToOpenFileList, name);
        case platform::FileReadStatus::readFailed: failToRead(ctx, text::kErrorReadingFileList, name);
        case platform::FileReadStatus::ok: break;
    }
    FileListText list = decodeFileList(bytes);
    if (list.badLine != 0) {
        constexpr std::size_t kLargestLine = std::numeric_limits<std::int32_t>::max();
        auto line = static_cast<std::int32_t>(list.badLine < kLargestLine ? list.badLine : kLargestLine);
        showFatalError(ctx, formatMessage(text::kFileListNotUtf8, {platform::fullPathName(name), line}),
                       kExitStartupFailure);
    }
    return std::move(list.lines);
}

}  // namespace

FileListText decodeFileList(std::string_view bytes) {
    FileListText list;
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
    list.lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    std::size_t start = 0;
    for (std::size_t lineNumber = 1;; ++lineNumber) {
        const std::size_t end = bytes.find('\n', start);
        std::string_view raw = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        // A carriage return before the line feed belongs to the line end.
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (!raw.empty()) {
            WideString line;
            line.reserve(raw.size());
            if (!decodeLine(raw, line)) {
                // Refused whole: a list in another encoding would give wrong names.
                list.lines.clear();
                list.badLine = lineNumber;
                return list;
            }
            list.lines.push_back(std::move(line));
        }
        if (end == std::string_view::npos) return list;
        start = end + 1;
    }
}

bool isSelectionListFile(WideView fullPath, WideView temporaryDirectory) {
    using namespace selection_list;
    while (!temporaryDirectory.empty() && temporaryDirectory.back() == u'\\') temporaryDirectory.remove_suffix(1);
    std::size_t slash = fullPath.rfind(u'\\');
    if (temporaryDirectory.empty() || slash == WideView::npos) return false;
    WideView folder = fullPath.substr(0, slash);
    WideView name = fullPath.substr(slash + 1);
    return equalsIgnoreCase(folder, temporaryDirectory) && name.size() > kNamePrefix.size() + kNameSuffix.size() &&
           equalsIgnoreCase(name.substr(0, kNamePrefix.size()), kNamePrefix) && endsWithIgnoreCase(name, kNameSuffix);
}

void readFileLists(LaunchContext& ctx) {
    if (ctx.fileLists.empty()) return;
    const std::optional<WideString> temporary = platform::temporaryDirectory();
    std::vector<WideString> args;
    std::size_t next = 0;  // the next argument from the command line
    for (const FileListOption& option : ctx.fileLists) {
        for (; next < option.argumentIndex; ++next) args.push_back(std::move(ctx.javaArgs[next]));
        std::vector<WideString> lines = readList(ctx, option.name);
        args.insert(args.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
        WideString fullPath = platform::fullPathName(option.name);
        if (temporary && isSelectionListFile(fullPath, *temporary)) ctx.selectionListsToDelete.push_back(fullPath);
    }
    for (; next < ctx.javaArgs.size(); ++next) args.push_back(std::move(ctx.javaArgs[next]));
    ctx.javaArgs = std::move(args);
}

void deleteSelectionLists(LaunchContext& ctx) {
    // A list that cannot be deleted stays for the system's cleaning of the
    // temporary folder; the launch goes on.
    for (const WideString& path : ctx.selectionListsToDelete) platform::deleteFile(path);
    ctx.selectionListsToDelete.clear();
}

}  // namespace varkel
