// A Wine loader for the 32-bit runtime that leaves 0x400000 free. Under
// qemu-i386, Debian's loader (a position-independent program) is placed at
// 0x400000, exactly where programs without relocations, such as the NSIS
// installer and uninstaller, must load. This one is linked at a fixed high
// address and does what Debian's loader does: load ntdll.so and enter it.
//
// Built by tools/win32-runtime.sh with clang and the machine's ld against
// the runtime's i386 C library, without headers (none for i386 here).

void* dlopen(const char* file, int mode);
void* dlsym(void* handle, const char* name);
char* dlerror(void);
int dprintf(int fd, const char* format, ...);
void exit(int status);
int __libc_start_main(int (*main)(int, char**, char**), int argc, char** argv, void (*init)(void),
                      void (*fini)(void), void (*rtld_fini)(void), void* stack_end);

// Looked up by ntdll: no areas reserved beforehand, as with Debian's loader.
const void* wine_main_preload_info = 0;

int main(int argc, char** argv, char** envp) {
  void* ntdll = dlopen("/usr/lib/i386-linux-gnu/wine/i386-unix/ntdll.so", 2 /* RTLD_NOW */);
  if (!ntdll) {
    dprintf(2, "wine: could not load ntdll.so: %s\n", dlerror());
    exit(1);
  }
  void (*wine_main)(int, char**, char**) = (void (*)(int, char**, char**))dlsym(ntdll, "__wine_main");
  if (wine_main) wine_main(argc, argv, envp);
  dprintf(2, "wine: __wine_main not found in ntdll.so\n");
  exit(1);
}

// The i386 start-up code of the C library, which has no crt1.o here.
__asm__(
    ".text\n.globl _start\n_start:\n"
    "  xorl %ebp, %ebp\n  popl %esi\n  movl %esp, %ecx\n  andl $-16, %esp\n"
    "  pushl %eax\n  pushl %esp\n  pushl %edx\n  pushl $0\n  pushl $0\n"
    "  pushl %ecx\n  pushl %esi\n  pushl $main\n  call __libc_start_main\n  hlt\n");
