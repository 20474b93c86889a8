#pragma once
// The maker's lines of the About box, shared by the resource script and the code.
#define ABOUT_COPYRIGHT "版权所有 (C) 2026 Velodusk"
#define ABOUT_COPYRIGHT_ENGLISH "Copyright (C) 2026 Velodusk"
#define ABOUT_CONTACT_MAILTO "mailto:support@velodusk.example"
