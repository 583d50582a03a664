// Placeholder translation unit for a folder that has no sources yet.
