/* quelmont: service control for the TARN environment on Linux. Each service
 * is the systemd unit of the same name, driven through `systemctl`, found
 * along PATH. Booleans are one byte, non-zero meaning true. Not thread-safe:
 * the last error is one per process. */
#ifndef QUELMONT_H
#define QUELMONT_H

#ifdef __cplusplus
extern "C" {
#endif

#define QUELMONT_ERROR_BUFFER_SIZE 256

/* True when `systemctl is-active` reports the unit active. */
unsigned char ServiceIsRunning(const char* service);

/* `systemctl start` / `systemctl stop`; true on success. A failure is kept
 * for GetLastSvcError, a success clears it. */
unsigned char StartService(const char* service);
unsigned char StopService(const char* service);

/* True when the last start or stop failed: its text (systemctl's own
 * message) is then copied into `buffer`, cut to fit its 256 bytes with the
 * terminating NUL. False, with `buffer` untouched, after a success. */
unsigned char GetLastSvcError(char* buffer);

#ifdef __cplusplus
}
#endif

#endif
