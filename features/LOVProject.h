#pragma once

#include "engine/LOVFile.h"
#include "features/LOVBookMark.h"
#include "features/LOVRegion.h"
#include "process/LProgressDialog.h"

#include <memory>
#include <string>
#include <vector>

// What a project file (".ovp") holds: version 0; a count and each document
// (its 540-byte record and audio block); the active index; a count and the
// bookmark records grouped by document; a count and each region (its
// record and audio block). Counts are one byte.
struct LOVProjectData {
    std::vector<std::unique_ptr<LOVFile>> files;
    uint8_t bActive = 0;
    std::vector<LOVBookMark> bookmarks;
    std::vector<LOVRegion> regions;
};

// Loading a project into memory; the editor's state changes only after the
// whole file was read and checked. The operation fails (2) with bWrongVersion
// for a file that cannot be opened or does not start with 0, and otherwise
// with strWhy saying what is damaged.
struct LOVLoadProject {
    std::string strPath;
    LOVProjectData* pData = nullptr;
    bool bWrongVersion = false;
    std::string strWhy {};
};
int ProcessBody(LProgressDialog& dlg, LOVLoadProject& data);

// Saving the given state to a project file, in the file's place only when
// the whole file was written. strWarning lists what a project cannot hold
// (more than 255 entries, paths too long for the record).
struct LOVSaveProject {
    std::string strPath;
    std::vector<const LOVFile*> files;
    uint8_t bActive = 0;
    const std::vector<LOVBookMark>* pBookmarks = nullptr;
    const std::vector<LOVRegion>* pRegions = nullptr;
    std::string strWarning {};
    int iErrno = 0;
};
int ProcessBody(LProgressDialog& dlg, LOVSaveProject& data);

// The document record: path, previous path, cursor, selection, view.
constexpr size_t kDocumentRecordSize = 540;
