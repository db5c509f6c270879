/* Watches the screen from outside: prints "watching" once ready, then one line
 * "SERVER_MS X Y W H" for every area of the root window (the windows on it included) that
 * the X server reports drawn, through the DAMAGE extension, until SECONDS have passed or it
 * is stopped (lines are written whole as they come). Usage: damage-watch SECONDS. Speaks
 * the extension's requests on raw xcb, so it needs no DAMAGE client library. */
#define _POSIX_C_SOURCE 200809L
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

enum { DamageQueryVersion = 0, DamageCreate = 1, ReportRawRectangles = 0 };

/* Sends the DAMAGE request `minor` with its words after the header; returns its sequence. */
static unsigned int send_damage_request(xcb_connection_t* c, uint8_t major, uint8_t minor, const uint32_t* words,
                                        int count, int hasReply)
{
    uint32_t request[4] = {0};
    struct iovec parts[4];
    xcb_protocol_request_t header = {2, NULL, major, !hasReply};
    memcpy(request + 1, words, (size_t)count * 4);
    ((uint8_t*)request)[1] = minor;   /* xcb fills in the major opcode and the length */
    parts[2].iov_base = request;
    parts[2].iov_len = (size_t)(count + 1) * 4;
    parts[3].iov_base = NULL;
    parts[3].iov_len = 0;
    return xcb_send_request(c, hasReply ? XCB_REQUEST_CHECKED : 0, parts + 2, &header);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: damage-watch SECONDS\n");
        return 2;
    }
    const double seconds = atof(argv[1]);
    setvbuf(stdout, NULL, _IOLBF, 0);
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "damage-watch: cannot open the display\n");
        return 1;
    }
    xcb_query_extension_reply_t* ext =
        xcb_query_extension_reply(c, xcb_query_extension(c, 6, "DAMAGE"), NULL);
    if (!ext || !ext->present) {
        fprintf(stderr, "damage-watch: the server has no DAMAGE extension\n");
        return 1;
    }
    const uint8_t major = ext->major_opcode, notify = ext->first_event;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t version[2] = {1, 1};
    xcb_generic_error_t* error = NULL;
    free(xcb_wait_for_reply(c, send_damage_request(c, major, DamageQueryVersion, version, 2, 1), &error));
    if (error) {
        fprintf(stderr, "damage-watch: DAMAGE refused its version query\n");
        return 1;
    }
    const uint32_t create[3] = {xcb_generate_id(c), root, ReportRawRectangles};
    send_damage_request(c, major, DamageCreate, create, 3, 0);
    xcb_flush(c);
    printf("watching\n");
    fflush(stdout);

    struct timespec start, now;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        xcb_generic_event_t* e;
        while ((e = xcb_poll_for_event(c)) != NULL) {
            if ((e->response_type & 0x7f) == notify) {
                const uint8_t* b = (const uint8_t*)e;   /* DamageNotify: timestamp at 12, area at 16 */
                uint32_t ms;
                int16_t x, y;
                uint16_t w, h;
                memcpy(&ms, b + 12, 4);
                memcpy(&x, b + 16, 2);
                memcpy(&y, b + 18, 2);
                memcpy(&w, b + 20, 2);
                memcpy(&h, b + 22, 2);
                printf("%u %d %d %u %u\n", ms, x, y, w, h);
            } else if (e->response_type == 0) {
                fprintf(stderr, "damage-watch: the server refused a request (error %u)\n", ((xcb_generic_error_t*)e)->error_code);
                return 1;
            }
            free(e);
        }
        if (xcb_connection_has_error(c)) return 1;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const double left = seconds - ((double)(now.tv_sec - start.tv_sec) + (now.tv_nsec - start.tv_nsec) / 1e9);
        if (left <= 0) break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval wait = {0, left < 0.1 ? (long)(left * 1e6) : 100000};
        select(fd + 1, &readable, NULL, NULL, &wait);
    }
    fflush(stdout);
    xcb_disconnect(c);
    return 0;
}
