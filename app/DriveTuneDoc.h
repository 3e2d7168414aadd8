#pragma once
// CDriveTuneDoc: the document of the single-document window. All data lives in the tool state,
// so the document holds nothing and its load and save do nothing.
class CDriveTuneDoc {
public:
    bool OnNewDocument() { return true; }
    bool Load() { return true; }
    bool Save() { return true; }
};
