File.write(File.join(__dir__, "relative_helper.rb"), "def helped = 'helped'\n")
require_relative "relative_helper"
puts helped
