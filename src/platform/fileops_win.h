#pragma once
// File services of the Windows front end, on Windows paths.

// Shortens path in place to its nearest existing ancestor; a path without a
// folder that exists is cut to its first component.
void existingdir(char* path);

// Keeps the current drive and folder and makes them current again when it
// goes: the common file dialogs change them. A folder longer than the
// buffer is not kept, and then nothing is put back.
class KeptFolder {
public:
    KeptFolder();
    ~KeptFolder();
    KeptFolder(const KeptFolder&) = delete;
    KeptFolder& operator=(const KeptFolder&) = delete;

private:
    static constexpr unsigned long capacity = 512;
    char folder_[capacity] = "";
    bool kept_ = false;
};
