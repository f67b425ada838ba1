/*
 * Cardpull: loads the firmware of the camera's USB card reader once.
 *
 * The report designer loads libcardpull.so at start, looks up fnMydll, calls it
 * once on its user-interface thread, ignores the result and unloads the library.
 *
 * fnMydll looks for a card reader waiting for firmware (an EZ-USB controller; see
 * docs/usbloader.md for the list of device ids and where it is configured), reads
 * "bulkloop.hex" from the current folder or, when it is not there, from the
 * folder of this library, checks the whole file, and writes it into the
 * controller. It returns 42 in every case.
 *
 * Two failures are shown to the user: a missing firmware file (only when a card
 * reader is attached) and a card reader that does not open for the download.
 * A host program shows them itself by exporting, from its executable,
 *
 *     extern "C" void cardpull_message_hook(const char* text, const char* caption);
 *
 * (UTF-8 texts; link the program with -Wl,--export-dynamic-symbol=cardpull_message_hook).
 * Without the hook they go to standard error, as do the details of a damaged
 * firmware file or a failed transfer.
 *
 * Only one download runs at a time on the machine's user session: Cardpull and
 * the background loader Camlink share an advisory lock file.
 */
#ifndef CARDPULL_H
#define CARDPULL_H

#if defined(CARDPULL_BUILD)
#define CARDPULL_API __attribute__((visibility("default")))
#else
#define CARDPULL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

CARDPULL_API int fnMydll(void);

/* An exported counter that nothing reads; kept for the library's interface. */
CARDPULL_API extern int nMydll;

#ifdef __cplusplus
}

/* An exported class without data that nothing uses; kept for the library's
 * interface. */
class CARDPULL_API CMydll {
public:
    CMydll();
    CMydll& operator=(const CMydll& other);

private:
    char unused_ = 0;
};
#endif

#endif
