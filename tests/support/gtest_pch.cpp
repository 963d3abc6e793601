// Builds the precompiled GoogleTest header that every test executable reuses.
