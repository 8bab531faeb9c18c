/* quelmont: service control for the TARN environment. On Linux each service
 * is the systemd unit of the same name, driven through `systemctl` found
 * along PATH; on Windows it is the service of that name in the Service
 * Control Manager. Booleans are one byte, non-zero meaning true. Not
 * thread-safe: the last error is one per process. (StartService is also a
 * macro of <windows.h>: a file that includes both calls the Win32 function.) */
#ifndef QUELMONT_H
#define QUELMONT_H

#ifdef __cplusplus
extern "C" {
#endif

#define QUELMONT_ERROR_BUFFER_SIZE 256

/* True when the service runs (`systemctl is-active` reports the unit active;
 * the Service Control Manager reports it running). */
unsigned char ServiceIsRunning(const char* service);

/* `systemctl start` / `systemctl stop`; on Windows the start request or the
 * stop control, then a wait, bounded, until the service runs or has stopped.
 * A service already in that state counts as a success. True on success; a
 * failure is kept for GetLastSvcError, a success clears it. */
unsigned char StartService(const char* service);
unsigned char StopService(const char* service);

/* True when the last start or stop failed: its text (systemctl's own
 * message, or the system's text for the Windows error code) is then copied
 * into `buffer`, cut to fit its 256 bytes with the terminating NUL. False,
 * with `buffer` untouched, after a success. */
unsigned char GetLastSvcError(char* buffer);

#ifdef __cplusplus
}
#endif

#endif
