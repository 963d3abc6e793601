/* Preloaded into wine's processes by the serial test harness, so that a
 * pseudo-terminal stands in for a serial port as Windows would drive it.
 *
 * Modem lines: a pty has none, so the kernel refuses TIOCMGET on it; wine's
 * serial layer then cancels every pending WaitCommEvent. On a pty this
 * answers the line query as a cable with everything on would (CTS, DSR,
 * carrier, and our own DTR and RTS) and accepts the requests to set lines,
 * which have nowhere to go. Every other request, and every request the
 * kernel itself answers, passes through unchanged.
 *
 * Exclusive use: Windows gives a serial port to one opener at a time, but
 * wine checks sharing only for plain files. Every open of a pty slave here
 * (the harness loads this into the wine server, which is where wine opens
 * devices) takes an exclusive lock on it, and fails with EACCES, as Windows
 * does, while another holder has it. The lock goes with the last
 * descriptor of that open. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

typedef int (*ioctl_fn)(int, unsigned long, ...);
typedef int (*open_fn)(const char *, int, ...);
typedef int (*openat_fn)(int, const char *, int, ...);

/* The slave side of a Unix98 pty (/dev/pts/N): Linux gives those the
 * character majors 136..143. */
static int is_pty_slave(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
  const unsigned int major_number = major(st.st_rdev);
  return major_number >= 136 && major_number <= 143;
}

/* The next definition of `name` after this library's, looked up once. */
#define NEXT_SYMBOL(type, name)                                     \
  static type real_##name(void) {                                   \
    static _Atomic(type) cached;                                    \
    type next = atomic_load(&cached);                               \
    if (next == 0) {                                                \
      /* POSIX's own way round ISO C's object-to-function ban. */   \
      *(void **)(&next) = dlsym(RTLD_NEXT, #name);                  \
      atomic_store(&cached, next);                                  \
    }                                                               \
    return next;                                                    \
  }

NEXT_SYMBOL(ioctl_fn, ioctl)
NEXT_SYMBOL(open_fn, open)
NEXT_SYMBOL(open_fn, open64)
NEXT_SYMBOL(openat_fn, openat)
NEXT_SYMBOL(openat_fn, openat64)

/* Takes a fresh descriptor for exclusive use when it is a pty slave. */
static int claim(int fd, int flags) {
  if (fd < 0 || (flags & O_PATH) != 0 || !is_pty_slave(fd)) return fd;
  const int saved_errno = errno;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    errno = saved_errno;
    return fd;
  }
  close(fd);
  errno = EACCES;
  return -1;
}

static int takes_mode(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

#define OPEN_WRAPPER(name)                                        \
  int name(const char *path, int flags, ...) {                    \
    mode_t mode = 0;                                              \
    if (takes_mode(flags)) {                                      \
      va_list args;                                               \
      va_start(args, flags);                                      \
      mode = va_arg(args, mode_t);                                \
      va_end(args);                                               \
    }                                                             \
    open_fn next = real_##name();                                 \
    if (next == 0) {                                              \
      errno = ENOSYS;                                             \
      return -1;                                                  \
    }                                                             \
    return claim(next(path, flags, mode), flags);                 \
  }

#define OPENAT_WRAPPER(name)                                      \
  int name(int dir, const char *path, int flags, ...) {           \
    mode_t mode = 0;                                              \
    if (takes_mode(flags)) {                                      \
      va_list args;                                               \
      va_start(args, flags);                                      \
      mode = va_arg(args, mode_t);                                \
      va_end(args);                                               \
    }                                                             \
    openat_fn next = real_##name();                               \
    if (next == 0) {                                              \
      errno = ENOSYS;                                             \
      return -1;                                                  \
    }                                                             \
    return claim(next(dir, path, flags, mode), flags);            \
  }

OPEN_WRAPPER(open)
OPEN_WRAPPER(open64)
OPENAT_WRAPPER(openat)
OPENAT_WRAPPER(openat64)

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void *argument = va_arg(args, void *);
  va_end(args);

  ioctl_fn next = real_ioctl();
  if (next == 0) {
    errno = ENOSYS;
    return -1;
  }
  const int saved_errno = errno;
  const int result = next(fd, request, argument);
  if (result == 0) return result;
  if (request != TIOCMGET && request != TIOCMSET && request != TIOCMBIS && request != TIOCMBIC) return result;

  const int failure = errno;
  if (!is_pty_slave(fd)) {
    errno = failure;
    return result;
  }
  if (request == TIOCMGET) {
    if (argument == 0) {
      errno = EFAULT;
      return -1;
    }
    *(int *)argument = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_DTR | TIOCM_RTS;
  }
  errno = saved_errno;
  return 0;
}
