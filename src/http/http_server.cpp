#include "http/http_server.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/clock.h"

namespace http {

namespace {

constexpr int kListenBacklog = 1023;
constexpr uint64_t kDefaultTimeoutMs = 30000;
constexpr size_t kReceiveChunk = 4095;
constexpr size_t kPathSize = 512;

// Unsigned decimal text as "%u" reads it; null or unreadable text gives 0.
uint64_t readUnsigned(const char* text) {
    unsigned value = 0;
    if (!text || std::sscanf(text, "%u", &value) != 1) return 0;
    return value;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int hexValue(char c) { return (c >= '0' && c <= '9') ? c - '0' : lowerAscii(c) - 87; }

int handlerResult(HttpConnection* connection, int result) {
    if (result == SB_CONTINUE) return SB_OK;
    if (result == SB_HANGUP) {
        connection->state = CLOSING;
        return SB_OK;
    }
    return result < 0 ? result : SB_ERR_RESULT;
}

int notify(HttpServer* server, HttpConnection* connection, int type, const char* method = nullptr,
           const char* path = nullptr) {
    const HttpEvent event{type, server->userData, server, connection, connection->peer, method, path};
    return server->handler(&event);
}

void destroyConnection(HttpServer* server, HttpConnection* connection) {
    notify(server, connection, SB_EV_DISCONNECT);
    platform::sockets().close(connection->socket);
    ByteBuffer_Free(&connection->receive);
    constexpr uint64_t kLargestSpare = 4u << 20;
    if (server->spareSendCount < HttpServer::kSpareSendBuffers && connection->send.capacity > 0 &&
        connection->send.capacity <= kLargestSpare) {
        connection->send.length = 0;
        connection->sent = 0;
        server->spareSend[server->spareSendCount++] = connection->send;
        connection->send = ByteBuffer{};
    }
    ByteBuffer_Free(&connection->send);
    delete connection;
}

bool endsWithBlankLine(const ByteBuffer& b) {
    return b.length >= 4 && std::memcmp(b.data + b.length - 4, "\r\n\r\n", 4) == 0;
}

// The request is whole: parse its line and hand it to the handler.
int dispatchRequest(HttpServer* server, HttpConnection* c) {
    c->state = AWAITING_STATUS;
    if (ByteBuffer_NulTerminate(&c->receive) != SB_OK) return SB_ERR_NOMEM;
    char method[16] = {};
    char version[16] = {};
    int pathOffset = 0;
    const char* text = reinterpret_cast<const char*>(c->receive.data);
    if (std::sscanf(text, "%15s %n%*s %15s", method, &pathOffset, version) != 2 ||
        std::strncmp(version, "HTTP", 4) != 0) {
        c->state = CLOSING;
        return SB_OK;
    }
    char path[kPathSize];
    Http_UrlDecode(path, text + pathOffset, sizeof path);  // a longer path is cut short
    return handlerResult(c, notify(server, c, SB_EV_REQUEST, method, path));
}

int receiveFrom(HttpServer* server, HttpConnection* c) {
    uint8_t chunk[kReceiveChunk];
    int64_t n = 0;
    bool wouldBlock = false;
    bool complete = false;
    while (!complete) {
        // A bounded request stops being read at its bound; the limit check then drops it.
        if (server->maximumRequestSize && c->receive.length >= server->maximumRequestSize) break;
        n = platform::sockets().receive(c->socket, chunk, sizeof chunk, wouldBlock);
        if (n <= 0) break;
        c->lastActivity = server->now;
        for (int64_t i = 0; i < n && !complete; ++i) {
            if (ByteBuffer_PushByte(&c->receive, chunk[i]) != SB_OK) return SB_ERR_NOMEM;
            if (c->state == READING_HEADER && endsWithBlankLine(c->receive)) {
                c->state = READING_BODY;
                if (ByteBuffer_NulTerminate(&c->receive) != SB_OK) return SB_ERR_NOMEM;
                const char* length =
                    Http_GetHeader(reinterpret_cast<const char*>(c->receive.data), "Content-Length");
                if (!length) complete = true;
                else c->expectedLength = c->receive.length + readUnsigned(length);
            }
            if (c->expectedLength == c->receive.length) complete = true;
        }
    }
    if (complete) return dispatchRequest(server, c);
    if (n == 0 || (n < 0 && !wouldBlock)) c->state = CLOSING;
    return SB_OK;
}

void sendTo(HttpServer* server, HttpConnection* c) {
    if (c->send.length == c->sent) {
        c->state = CLOSING;
        return;
    }
    bool wouldBlock = false;
    const int64_t n =
        platform::sockets().send(c->socket, c->send.data + c->sent, c->send.length - c->sent, wouldBlock);
    if (n > 0) {
        c->sent += static_cast<uint64_t>(n);
        c->lastActivity = server->now;
    } else if (!wouldBlock) {
        c->state = CLOSING;
    }
}

void applyLimits(const HttpServer* server, HttpConnection* c) {
    const int64_t idle = server->now - c->lastActivity;
    const int64_t age = server->now - c->created;
    if (server->timeout && idle > static_cast<int64_t>(server->timeout / 1000)) c->state = CLOSING;
    else if (server->maximumLifetime && age > static_cast<int64_t>(server->maximumLifetime / 1000))
        c->state = CLOSING;
    else if (server->maximumRequestSize && c->receive.length >= server->maximumRequestSize)
        c->state = CLOSING;
}

int acceptAll(HttpServer* server) {
    platform::Sockets& sockets = platform::sockets();
    for (;;) {
        char peer[platform::kPeerAddressSize];
        const platform::SocketHandle socket = sockets.accept(server->listener, peer);
        if (socket == platform::kInvalidSocket) return SB_OK;
        HttpConnection* c = new (std::nothrow) HttpConnection{};
        if (!c) {
            sockets.close(socket);
            return SB_ERR_NOMEM;
        }
        c->state = READING_HEADER;
        c->server = server;
        std::memcpy(c->peer, peer, sizeof peer);
        c->created = c->lastActivity = server->now;
        if (server->spareSendCount > 0) c->send = server->spareSend[--server->spareSendCount];
        c->socket = socket;
        c->readSlot = c->writeSlot = -1;
        c->next = server->connections;
        server->connections = c;
        if (const int result = handlerResult(c, notify(server, c, SB_EV_ACCEPT)); result != SB_OK) return result;
    }
}

}  // namespace

HttpServer* HttpServer_Create(const HttpServerOptions* options) {
    platform::Sockets& sockets = platform::sockets();
    sockets.startUp();
    HttpServer* server = new (std::nothrow) HttpServer;
    if (!server) return nullptr;
    server->connections = nullptr;
    server->handler = options->handler;
    server->listener = platform::kInvalidSocket;
    server->userData = options->userData;
    server->now = 0;
    server->timeout = options->timeout ? readUnsigned(options->timeout) : kDefaultTimeoutMs;
    server->maximumLifetime = readUnsigned(options->maximumLifetime);
    server->maximumRequestSize = readUnsigned(options->maximumRequestSize);
    server->listener = options->port ? sockets.listenTcp(options->port, kListenBacklog) : platform::kInvalidSocket;
    if (server->listener == platform::kInvalidSocket) {
        delete server;
        return nullptr;
    }
    return server;
}

int HttpServer_Poll(HttpServer* server, uint32_t timeoutMs) {
    ++server->pass;
    platform::Sockets& sockets = platform::sockets();
    platform::SocketSet& readSet = server->readSet;
    platform::SocketSet& writeSet = server->writeSet;
    readSet.count = 0;
    writeSet.count = 0;
    const int listenerSlot = readSet.add(server->listener);
    // Sockets past a set's capacity are left out of this pass.
    for (HttpConnection* c = server->connections; c; c = c->next) {
        c->readSlot = c->writeSlot = -1;
        if (c->state < AWAITING_STATUS) c->readSlot = readSet.add(c->socket);
        else c->writeSlot = writeSet.add(c->socket);
    }
    const bool anyReady = sockets.wait(readSet, writeSet, timeoutMs) > 0;
    server->now = platform::wallClock().nowSeconds();

    for (HttpConnection** link = &server->connections; *link;) {
        HttpConnection* c = *link;
        const bool readable = anyReady && c->readSlot >= 0 && readSet.ready[c->readSlot];
        const bool writable = anyReady && c->writeSlot >= 0 && writeSet.ready[c->writeSlot];
        if (readable) {
            if (const int result = receiveFrom(server, c); result != SB_OK) return result;
        }
        if (writable) sendTo(server, c);
        applyLimits(server, c);
        if (c->state == CLOSING) {
            *link = c->next;
            destroyConnection(server, c);
        } else {
            link = &c->next;
        }
    }

    if (anyReady && listenerSlot >= 0 && readSet.ready[listenerSlot]) return acceptAll(server);
    return SB_OK;
}

void HttpServer_Close(HttpServer* server) {
    if (!server) return;
    while (HttpConnection* c = server->connections) {
        server->connections = c->next;
        destroyConnection(server, c);
    }
    platform::sockets().close(server->listener);
    while (server->spareSendCount > 0) ByteBuffer_Free(&server->spareSend[--server->spareSendCount]);
    delete server;
}

uint64_t HttpServer_ConnectionCount(const HttpServer* server) {
    uint64_t count = 0;
    for (const HttpConnection* c = server->connections; c; c = c->next) ++count;
    return count;
}

int Http_SendStatus(HttpConnection* c, int code, const char* reason) {
    if (c->state != AWAITING_STATUS) return SB_ERR_STATE;
    if (const int result = ByteBuffer_PushFormat(&c->send, "HTTP/1.1 %d %s\r\n", code, reason); result != SB_OK)
        return result;
    c->state = WRITING_HEADERS;
    return SB_OK;
}

int Http_SendHeader(HttpConnection* c, const char* name, const char* value) {
    if (c->state > WRITING_HEADERS) return SB_ERR_STATE;
    if (c->state < WRITING_HEADERS) {
        if (const int result = Http_SendStatus(c, 200, "OK"); result != SB_OK) return result;
    }
    return ByteBuffer_PushFormat(&c->send, "%s: %s\r\n", name, value);
}

namespace {

int endHead(HttpConnection* c) {
    if (c->state < WRITING_HEADERS) {
        if (const int result = Http_SendStatus(c, 200, "OK"); result != SB_OK) return result;
    }
    if (ByteBuffer_PushBytes(&c->send, "\r\n", 2) != SB_OK) return SB_ERR_NOMEM;
    c->state = WRITING_BODY;
    return SB_OK;
}

int beginBody(HttpConnection* c) {
    if (c->state < WRITING_BODY) {
        if (const int result = endHead(c); result != SB_OK) return result;
    }
    return c->state == WRITING_BODY ? SB_OK : SB_ERR_STATE;
}

}  // namespace

int Http_Write(HttpConnection* c, const void* bytes, uint64_t count) {
    if (const int result = beginBody(c); result != SB_OK) return result;
    return ByteBuffer_PushBytes(&c->send, bytes, count);
}

int Http_WriteFormat(HttpConnection* c, const char* format, ...) {
    if (const int result = beginBody(c); result != SB_OK) return result;
    va_list args;
    va_start(args, format);
    const int result = ByteBuffer_PushFormatV(&c->send, format, args);
    va_end(args);
    return result;
}

const char* Http_GetHeader(const char* head, const char* name) {
    const size_t nameLength = std::strlen(name);
    const char* line = head;
    while (*line && !(line[0] == '\r' && line[1] == '\n')) {
        size_t i = 0;
        while (i < nameLength && line[i] && lowerAscii(line[i]) == lowerAscii(name[i])) ++i;
        if (i == nameLength && line[i] == ':') {
            const char* value = line + i + 1;
            while (*value == ' ' || *value == '\t') ++value;
            return value;
        }
        const char* end = std::strchr(line, '\r');
        if (!end) return nullptr;
        line = end + 1;
        if (*line == '\n') ++line;
    }
    return nullptr;
}

int Http_UrlDecode(char* destination, const char* source, uint64_t size) {
    if (size == 0) return SB_ERR_TRUNCATED;
    uint64_t written = 0;
    const char* s = source;
    while (*s && !std::strchr("?& \t\r\n", *s)) {
        if (written + 1 >= size) {
            destination[written] = '\0';
            return SB_ERR_TRUNCATED;
        }
        char out = *s;
        if (*s == '+') {
            out = ' ';
            ++s;
        } else if (*s == '%' && s[1] && s[2]) {
            out = static_cast<char>(hexValue(s[1]) * 16 + hexValue(s[2]));
            s += 3;
        } else {
            ++s;
        }
        destination[written++] = out;
    }
    destination[written] = '\0';
    return SB_OK;
}

}  // namespace http
