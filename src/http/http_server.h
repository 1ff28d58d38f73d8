// A small HTTP/1.1 server on non-blocking sockets with no thread of its own: it advances only
// when polled. Each connection carries one request, read whole into memory; the handler writes
// the whole response into the connection's send buffer, which is sent as the socket accepts it,
// and the connection closes when it has drained. No keep-alive, chunking or pipelining, and no
// headers of its own: the client learns the end of a body from the close.
// [ui] everything runs on the thread that polls; the handler is called only from inside
// HttpServer_Poll and HttpServer_Close.
#pragma once

#include <cstdint>

#include "http/byte_buffer.h"
#include "platform/sockets.h"

namespace http {

struct HttpServer;
struct HttpConnection;

enum HttpEventType : int {
    SB_EV_ACCEPT = 0,
    SB_EV_DISCONNECT = 1,
    SB_EV_REQUEST = 2,
};

// Handler results; a negative result is an error that the poll passes up unchanged, and any
// other value becomes SB_ERR_RESULT.
enum HttpHandlerResult : int {
    SB_CONTINUE = 0,
    SB_HANGUP = 1,
};

// Only the order of the values matters: states are compared with less-than and greater-than.
enum HttpConnectionState : int32_t {
    READING_HEADER = 0,   // collecting the request head
    READING_BODY = 1,     // collecting Content-Length body bytes
    AWAITING_STATUS = 2,  // request complete; the handler may answer
    WRITING_HEADERS = 3,  // status line queued
    WRITING_BODY = 4,     // blank line queued; body bytes may follow
    CLOSING = 6,          // destroyed at the end of the current poll
};

struct HttpEvent {
    int type;
    void* userData;
    HttpServer* server;
    HttpConnection* connection;
    const char* peer;
    const char* method;  // SB_EV_REQUEST only, valid during the handler call
    const char* path;    // URL-decoded, without query string; SB_EV_REQUEST only
};

using HttpHandler = int (*)(const HttpEvent* event);

// Read once by HttpServer_Create. Numbers are unsigned decimal text; unreadable text gives 0.
struct HttpServerOptions {
    HttpHandler handler;
    void* userData;
    const char* host;                // not used for binding
    const char* port;
    const char* timeout;             // idle time-out in ms; null gives 30000, 0 none
    const char* maximumLifetime;     // ms; 0 or null: none
    const char* maximumRequestSize;  // bytes received before the connection is dropped; 0 or null: none
};

struct HttpConnection {
    int32_t state;
    HttpServer* server;
    char peer[platform::kPeerAddressSize];
    int64_t created;       // server clock, seconds
    int64_t lastActivity;
    uint64_t expectedLength;  // 0 until a Content-Length header is seen
    platform::SocketHandle socket;
    ByteBuffer receive;  // the whole request text, NUL-terminated once complete
    ByteBuffer send;
    // Bytes of `send` already gone: the rest is sent from there, so a large answer is never
    // moved down after each partial send.
    uint64_t sent;
    HttpConnection* next;
    // Where the current poll watches this connection; -1 when it is not watched.
    int32_t readSlot;
    int32_t writeSlot;
};

struct HttpServer {
    HttpConnection* connections;  // newest first
    HttpHandler handler;
    platform::SocketHandle listener;
    void* userData;
    int64_t now;  // wall-clock seconds, taken once per poll
    uint64_t timeout;
    uint64_t maximumLifetime;
    uint64_t maximumRequestSize;
    // The wait's sets, kept with the server so a poll needs no 36 KiB of stack.
    platform::SocketSet readSet;
    platform::SocketSet writeSet;
    uint64_t pass = 0;  // counts polls, so a handler can share work within one pass
    // Send buffers of closed connections, handed to new ones: a response of hundreds of KiB
    // grown from nothing for every request costs more in the allocator than in the network.
    static constexpr int kSpareSendBuffers = 16;
    ByteBuffer spareSend[kSpareSendBuffers] = {};
    int spareSendCount = 0;
};

// A bound, listening server on every IPv4 interface, or null.
HttpServer* HttpServer_Create(const HttpServerOptions* options);
// One pass: waits at most `timeoutMs` for socket activity, then reads, answers, sends, applies
// the limits and accepts. Returns 0 or the first error met; the server stays usable.
int HttpServer_Poll(HttpServer* server, uint32_t timeoutMs);
// Destroys every connection (each with SB_EV_DISCONNECT), the listening socket and the server.
void HttpServer_Close(HttpServer* server);

// Response writing, for the handler. Each returns 0 or an error code.
int Http_SendStatus(HttpConnection* connection, int code, const char* reason);
int Http_SendHeader(HttpConnection* connection, const char* name, const char* value);
int Http_Write(HttpConnection* connection, const void* bytes, uint64_t count);
int Http_WriteFormat(HttpConnection* connection, const char* format, ...) HTTP_PRINTF_FORMAT(2, 3);

// The value of header `name` (case-insensitive) in a received head: a pointer into `head` past
// the colon and blanks, running to the end of its line; null when absent.
const char* Http_GetHeader(const char* head, const char* name);
// Copies `source` up to its end or one of "?& \t\r\n", turning "+" into a space and "%hh" into
// one byte, into at most `size` - 1 bytes and a terminator. SB_ERR_TRUNCATED when the output
// filled up before the source ended.
int Http_UrlDecode(char* destination, const char* source, uint64_t size);

// How many connections the server holds (open or closing).
uint64_t HttpServer_ConnectionCount(const HttpServer* server);

}  // namespace http
