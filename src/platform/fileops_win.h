#pragma once
// File services of the Windows front end, on Windows paths.

// Shortens path in place to its nearest existing ancestor; a path without a
// folder that exists is cut to its first component.
void existingdir(char* path);
