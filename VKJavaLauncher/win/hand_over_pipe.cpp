// The hand-over's named pipe on Windows (SINGLE_INSTANCE=1): the client that a
// later launch runs, and the serving thread of the first instance. Every wait
// has a deadline, so neither side can be held by the other: overlapped I/O,
// cancelled when its time is up.
#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "deferred_system_libraries.h"
#include "hand_over_request.h"
#include "owners.h"
#include "platform.h"
#include "utf16_view.h"

namespace varkel::platform {

namespace {

constexpr DWORD kBusyPipeWaitMs = 2000;   // the instance is serving another launch
constexpr DWORD kAnswerWaitMs = 5000;     // openVK is to return at once; a hanging instance is given up
constexpr DWORD kRequestWaitMs = 10000;   // a whole request, the largest included
constexpr DWORD kStallMs = 3000;          // a peer that moves no byte for this long is dropped
constexpr std::size_t kDrainBytes = 4096;  // what is read at a time of a refused request's rest
constexpr DWORD kPipeBufferBytes = 65536;
constexpr DWORD kFailedConnectPauseMs = 100;  // no busy loop should connecting keep failing
constexpr const char16_t* kDaclPrefix = u"D:P(A;;GA;;;";  // protected: only the one entry, full access
constexpr const char16_t* kDaclSuffix = u")";

const wchar_t* w(const WideString& text) { return asWide(text.c_str()); }

using win::DeferredLibrary;

// The user SID of a process's token, its bytes; empty when it cannot be read.
std::string tokenUser(HANDLE process) {
    auto openToken = win::deferred<win::OpenProcessTokenFunction>(DeferredLibrary::advapi32, "OpenProcessToken");
    auto tokenInformation =
        win::deferred<win::GetTokenInformationFunction>(DeferredLibrary::advapi32, "GetTokenInformation");
    HANDLE token = nullptr;
    if (!openToken || !tokenInformation || !openToken(process, TOKEN_QUERY, &token)) return {};
    HandleOwner owner(token);
    DWORD size = 0;
    tokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint64_t> data(size / sizeof(std::uint64_t) + 1);  // aligned for the record's pointer
    if (size == 0 || !tokenInformation(token, TokenUser, data.data(), size, &size)) return {};
    const auto* sid = static_cast<const SID*>(reinterpret_cast<const TOKEN_USER*>(data.data())->User.Sid);
    // A SID's size follows from its count of sub-authorities.
    const std::size_t length = offsetof(SID, SubAuthority) + sid->SubAuthorityCount * sizeof(DWORD);
    return std::string(reinterpret_cast<const char*>(sid), length);
}

bool runsAsThisUserInThisSession(ULONG processId) {
    std::optional<UserIdentity> mine = currentUser();
    DWORD session = 0;
    if (!mine || !ProcessIdToSessionId(processId, &session) || session != mine->sessionId) return false;
    HandleOwner process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process && tokenUser(process.get()) == mine->sid;
}

ULONGLONG now() { return GetTickCount64(); }

DWORD remaining(ULONGLONG deadline, DWORD stallMs) {
    const ULONGLONG current = now();
    if (current >= deadline) return 0;
    return static_cast<DWORD>(std::min<ULONGLONG>(deadline - current, stallMs));
}

// One end of a pipe opened for overlapped I/O, with its event.
class PipeIo {
public:
    explicit PipeIo(HANDLE pipe) : pipe_(pipe), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    explicit operator bool() const { return static_cast<bool>(event_); }

    bool readExactly(std::string& buffer, std::size_t from, ULONGLONG deadline, DWORD stallMs) {
        while (from < buffer.size()) {
            const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - from, kPipeBufferBytes));
            DWORD got = 0;
            if (!finish(ReadFile(pipe_, buffer.data() + from, wanted, nullptr, start()), got, deadline, stallMs) ||
                got == 0)
                return false;
            from += got;
        }
        return true;
    }

    bool writeAll(const std::string& bytes, ULONGLONG deadline) {
        for (std::size_t from = 0; from < bytes.size();) {
            const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - from, kPipeBufferBytes));
            DWORD put = 0;
            if (!finish(WriteFile(pipe_, bytes.data() + from, wanted, nullptr, start()), put, deadline, kStallMs) ||
                put == 0)
                return false;
            from += put;
        }
        return true;
    }

    // Waits for a client; false when connecting failed.
    bool connect() {
        if (ConnectNamedPipe(pipe_, start())) return true;
        DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED) return true;  // it came before the call
        if (error != ERROR_IO_PENDING) return false;
        DWORD unused = 0;
        return GetOverlappedResult(pipe_, &overlapped_, &unused, TRUE) != 0;
    }

private:
    OVERLAPPED* start() {
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = event_.get();
        return &overlapped_;
    }

    // Ends one operation: done, failed, or cancelled (and drained) at its deadline.
    bool finish(BOOL completed, DWORD& transferred, ULONGLONG deadline, DWORD stallMs) {
        if (!completed && GetLastError() != ERROR_IO_PENDING) return false;
        if (!completed && WaitForSingleObject(event_.get(), remaining(deadline, stallMs)) != WAIT_OBJECT_0) {
            CancelIo(pipe_);
            GetOverlappedResult(pipe_, &overlapped_, &transferred, TRUE);
            return false;
        }
        return GetOverlappedResult(pipe_, &overlapped_, &transferred, FALSE) != 0;
    }

    HANDLE pipe_;
    HandleOwner event_;
    OVERLAPPED overlapped_{};
};

// ---- The client -------------------------------------------------------------------------

HANDLE openPipe(const WideString& pipeName) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Identification only: a server may learn who connects, never act as this user.
        HANDLE pipe = CreateFileW(w(pipeName), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) return pipe;
        // No pipe at all is the usual case: no instance runs. A busy one is
        // waited for once.
        if (GetLastError() != ERROR_PIPE_BUSY || attempt > 0 || !WaitNamedPipeW(w(pipeName), kBusyPipeWaitMs)) break;
    }
    return nullptr;
}

// ---- The server ---------------------------------------------------------------------------

struct PipeServer {
    HANDLE pipe = nullptr;
    HandOverHandler handler = nullptr;
    void* context = nullptr;
};
PipeServer pipeServer;  // the serving thread's, for the life of the process

void serveClient(const PipeServer& server, PipeIo& io) {
    ULONG clientId = 0;
    if (!GetNamedPipeClientProcessId(server.pipe, &clientId) || !runsAsThisUserInThisSession(clientId)) return;
    const ULONGLONG deadline = now() + kRequestWaitMs;
    std::string request(kHandOverHeaderBytes, '\0');
    if (!io.readExactly(request, 0, deadline, kStallMs)) return;
    std::string answer;
    if (std::optional<std::uint32_t> size = handOverPayloadSize(request)) {
        request.resize(kHandOverHeaderBytes + *size);
        if (!io.readExactly(request, kHandOverHeaderBytes, deadline, kStallMs)) return;
        answer = server.handler(server.context, request);
    } else {
        answer = encodeHandOverAnswer(HandOverStatus::refused);
    }
    request = std::string();
    if (!io.writeAll(answer, now() + kStallMs)) return;
    // The client closes once it has read the answer; disconnecting sooner
    // throws the answer away unread. Whatever it still sends (the rest of a
    // refused request) is read and dropped until it closes or the time is up.
    const ULONGLONG closeDeadline = now() + kStallMs;
    std::string rest(kDrainBytes, '\0');
    while (io.readExactly(rest, 0, closeDeadline, kStallMs)) {
    }
}

DWORD WINAPI serve(void* parameter) {
    const auto* server = static_cast<const PipeServer*>(parameter);
    PipeIo io(server->pipe);
    if (!io) return 0;
    for (;;) {
        if (io.connect()) serveClient(*server, io);
        else Sleep(kFailedConnectPauseMs);
        DisconnectNamedPipe(server->pipe);
    }
}

// "D:P(A;;GA;;;<this user's SID>)", as a security descriptor to free with LocalFree.
PSECURITY_DESCRIPTOR thisUserOnly() {
    auto sidText = win::deferred<win::ConvertSidToStringSidFunction>(DeferredLibrary::advapi32, "ConvertSidToStringSidW");
    auto descriptor = win::deferred<win::ConvertStringSecurityDescriptorFunction>(
        DeferredLibrary::advapi32, "ConvertStringSecurityDescriptorToSecurityDescriptorW");
    std::optional<UserIdentity> mine = currentUser();
    wchar_t* sid = nullptr;
    if (!sidText || !descriptor || !mine || !sidText(reinterpret_cast<PSID>(mine->sid.data()), &sid)) return nullptr;
    WideString dacl = kDaclPrefix + toPortable(sid) + kDaclSuffix;
    LocalFree(sid);
    PSECURITY_DESCRIPTOR result = nullptr;
    if (!descriptor(w(dacl), SDDL_REVISION_1, &result, nullptr)) return nullptr;
    return result;
}

}  // namespace

std::optional<UserIdentity> currentUser() {
    UserIdentity identity;
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return std::nullopt;
    identity.sessionId = session;
    identity.sid = tokenUser(GetCurrentProcess());
    if (identity.sid.empty()) return std::nullopt;
    return identity;
}

std::optional<std::string> exchangeWithRunningInstance(const WideString& pipeName, const std::string& request) {
    HandleOwner pipe(openPipe(pipeName));
    ULONG serverId = 0;
    // A pipe of this name made by another user (squatting) is never written to.
    if (!pipe || !GetNamedPipeServerProcessId(pipe.get(), &serverId) || !runsAsThisUserInThisSession(serverId))
        return std::nullopt;
    // The Java program may then bring its window to the front.
    if (auto allow = win::deferred<win::AllowSetForegroundWindowFunction>(DeferredLibrary::user32,
                                                                           "AllowSetForegroundWindow"))
        allow(serverId);
    PipeIo io(pipe.get());
    if (!io || !io.writeAll(request, now() + kRequestWaitMs)) return std::nullopt;
    std::string answer(kHandOverAnswerBytes, '\0');
    if (!io.readExactly(answer, 0, now() + kAnswerWaitMs, kAnswerWaitMs)) return std::nullopt;
    return answer;
}

bool startHandOverServer(const WideString& pipeName, HandOverHandler handler, void* context) {
    PSECURITY_DESCRIPTOR descriptor = thisUserOnly();
    if (!descriptor) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    HANDLE pipe = CreateNamedPipeW(w(pipeName), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
                                   // Bytes, blocking mode (PIPE_TYPE_BYTE, PIPE_READMODE_BYTE and
                                   // PIPE_WAIT are 0), local clients only; one instance.
                                   PIPE_REJECT_REMOTE_CLIENTS, 1,
                                   kPipeBufferBytes, kPipeBufferBytes, 0, &attributes);
    LocalFree(descriptor);
    if (pipe == INVALID_HANDLE_VALUE) return false;
    // The pipe and the thread live as long as the process.
    pipeServer = PipeServer{pipe, handler, context};
    HANDLE thread = CreateThread(nullptr, 0, serve, &pipeServer, 0, nullptr);
    if (!thread) {
        CloseHandle(pipe);
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace varkel::platform
