// Resource IDs shared by the program's code and its .rc file.
#ifndef TEXT_TO_MD5_RESOURCE_H
#define TEXT_TO_MD5_RESOURCE_H

// The application icon's group; its images are 30001 to 30003.
#define IDI_APP 1

#endif
