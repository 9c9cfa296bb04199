/* Command and control identifiers shared by the resources and the program. */
#pragma once

#define CMD_OPEN 40002
#define CMD_EXIT 40006
#define CMD_HELP 40017
#define CMD_ABOUT 40018
#define CMD_GO 40021
#define CMD_EDIT 40025
#define CMD_READ 40026
#define CMD_SAVE 40027
#define CMD_PREFS 40028

#define ABOUT_VERSION 1006
#define ABOUT_NOTICE 1007
