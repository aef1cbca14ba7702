namespace quelnet::sim { void SimPlaceholder() {} }
