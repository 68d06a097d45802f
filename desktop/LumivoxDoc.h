#pragma once
// The document. It holds nothing: the model lives in the scene.

#include "platform/ui/Document.h"

class CLumivoxDoc : public CDocument {
public:
    BOOL OnNewDocument() override { return CDocument::OnNewDocument(); }
};
