/* Resource identifiers, shared by tavrel.rc and the window code. */
#ifndef TAVREL_SHELL_RESOURCE_H
#define TAVREL_SHELL_RESOURCE_H

#define IDI_TAVREL 1
#define IDI_END 2
#define IDI_EXEC_PLACEHOLDER 3

#endif
