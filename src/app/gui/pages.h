#pragma once

class TMainForm;

// Registers the page kinds built so far with the main window; a kind left
// out opens nothing and says so.
void RegisterPages(TMainForm& mainForm);
